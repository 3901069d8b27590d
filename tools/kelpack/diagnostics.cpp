// Formatting of project diagnostics.
#include "tools/kelpack/diagnostics.h"

#include "tools/kelpack/json_text.h"

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string text = diagnostic.file;
    if (diagnostic.line > 0) text += ":" + std::to_string(diagnostic.line);
    text += ": ";
    if (!diagnostic.key.empty()) text += diagnostic.key + ": ";
    text += diagnostic.kind == Diagnostic::Error ? "error: " : "warning: ";
    return text + diagnostic.message;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        if (d.kind == Diagnostic::Error) return true;
    return false;
}

bool ReportDiagnostics(std::vector<Diagnostic> diagnostics, bool strict, bool json, std::ostream& err) {
    for (Diagnostic& d : diagnostics) {
        if (strict) d.kind = Diagnostic::Error;
        if (!json) {
            err << FormatDiagnostic(d) << "\n";
            continue;
        }
        err << "{\"file\": " << JsonString(d.file) << ", \"line\": ";
        if (d.line > 0) {
            err << d.line;
        } else {
            err << "null";
        }
        err << ", \"key\": " << JsonString(d.key) << ", \"severity\": \""
            << (d.kind == Diagnostic::Error ? "error" : "warning")
            << "\", \"message\": " << JsonString(d.message) << "}\n";
    }
    return HasErrors(diagnostics);
}
