// Problems found in a package project, each tied to the file and the key that cause it.
#pragma once

#include <string>
#include <vector>

struct Diagnostic {
    enum Kind { Warning, Error } kind;
    std::string file;  // the file at fault, as the author named it
    std::string key;   // "[Section] Key", or empty when the whole file is meant
    std::string message;
};

// "file: [Section] Key: error: message", in the style compilers use so that editors can jump to it.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

bool HasErrors(const std::vector<Diagnostic>& diagnostics);
