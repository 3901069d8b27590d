// Modes whose work is not built yet. Each refuses to start with the initialisation message, so that a
// package run now fails visibly instead of pretending to install.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "startup/modes.h"

namespace {

int RefuseToStart() {
    ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
    return -1;
}

}  // namespace

int RunUninstallMode(const char*) { return RefuseToStart(); }
int RunUninstallCleanupMode(const char*) { return RefuseToStart(); }
