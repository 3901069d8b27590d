// The tool's commands. Each takes its arguments (without the command name), writes results to out and
// messages to err, and returns the process exit code (ExitOk, ExitFailed, ExitUsage).
#pragma once

#include <ostream>
#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

int BuildCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int CheckCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int ListCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int ExtractCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int VerifyCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int LogCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);

// The whole tool: args are the command line without the program name.
int RunKelpack(const CommandArgs& args, std::ostream& out, std::ostream& err);

// Text shared by the commands' help.
extern const char* const ExitCodeHelp;
extern const char* const ToolVersion;
