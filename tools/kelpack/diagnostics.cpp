// Formatting of project diagnostics.
#include "tools/kelpack/diagnostics.h"

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string text = diagnostic.file + ": ";
    if (!diagnostic.key.empty()) text += diagnostic.key + ": ";
    text += diagnostic.kind == Diagnostic::Error ? "error: " : "warning: ";
    return text + diagnostic.message;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        if (d.kind == Diagnostic::Error) return true;
    return false;
}
