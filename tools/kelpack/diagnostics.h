// Problems found in a package project, each tied to the file and the key that cause it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct Diagnostic {
    enum Kind { Warning, Error } kind;
    std::string file;  // the file at fault, as the author named it
    std::string key;   // "[Section] Key", or empty when the whole file is meant
    std::string message;
    int line = 0;  // in file, from 1; 0 when no line is meant
};

// "file:line: [Section] Key: error: message", in the style compilers use so that editors can jump to it.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

bool HasErrors(const std::vector<Diagnostic>& diagnostics);

// Writes the diagnostics to err, one a line: as text, or with json as one JSON object a line
// ({"file", "line" (null for none), "key", "severity", "message"}) for CI. With strict, warnings count as
// errors. True when there are errors.
bool ReportDiagnostics(std::vector<Diagnostic> diagnostics, bool strict, bool json, std::ostream& err);
