// The tool's two kinds of failure: a fault in the input or on disk (exit 1) and a wrong command line
// (exit 2). Only the command layer catches them and prints the message.
#pragma once

#include <stdexcept>
#include <string>

struct ToolError : std::runtime_error {
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// Process exit codes of every command.
enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };
