// Mode selection from the command line.
#include "startup/mode_dispatch.h"

#include "common/strings.h"

namespace {

struct ModeOption {
    const char* option;
    Mode mode;
};

// Tried in this order; the first match wins.
const ModeOption ModeOptions[] = {
    {"-I", Mode::Install},   {"-i", Mode::Finish},           {"~i", Mode::PostInstall},
    {"-U", Mode::Uninstall}, {"-u", Mode::UninstallCleanup},
};

}  // namespace

Mode ModeOf(const char* commandLine) {
    if (commandLine == nullptr) return Mode::Bootstrap;
    for (const ModeOption& entry : ModeOptions) {
        if (commandLine[0] == entry.option[0] && commandLine[1] == entry.option[1]) return entry.mode;
    }
    return Mode::Bootstrap;
}

void ArgumentOf(const char* commandLine, char* argument) {
    argument[0] = '\0';
    if (commandLine == nullptr || commandLine[0] == '\0' || commandLine[1] == '\0') return;
    CopyBounded(PathBufferSize, argument, commandLine + 2);
}
