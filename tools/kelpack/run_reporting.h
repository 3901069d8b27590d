// Error reporting shared by the commands.
#pragma once

#include <filesystem>
#include <ostream>

#include "tools/kelpack/commands.h"
#include "tools/kelpack/tool_error.h"

// Runs body, turning ToolError into "kelpack: error: ..." and ExitFailed, UsageError into a usage
// message and ExitUsage.
template <typename Body>
int RunReporting(const char* command, std::ostream& err, Body body) {
    try {
        return body();
    } catch (const UsageError& e) {
        err << "kelpack " << command << ": " << e.what() << "\n"
            << "Try 'kelpack " << command << " --help'.\n";
        return ExitUsage;
    } catch (const ToolError& e) {
        err << "kelpack: error: " << e.what() << "\n";
        return ExitFailed;
    } catch (const std::filesystem::filesystem_error& e) {
        err << "kelpack: error: " << e.what() << "\n";
        return ExitFailed;
    } catch (const std::bad_alloc&) {
        err << "kelpack: error: out of memory\n";
        return ExitFailed;
    }
}
