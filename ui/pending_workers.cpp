// Workers whose steps are not built yet: each only reports that it is done, so that the install
// sequence runs to its end. Their steps come with their own work, which replaces this file.
#include "ui/post_install_workers.h"
#include "ui/background_window.h"
#include "common/private_messages.h"

std::atomic<int> FinishAfterRestart{0};

DWORD WINAPI SilentToolWorker(LPVOID) {
    PostMessageA(BackgroundWindow, WM_USER, UM_TOOL_DONE, 0);
    return 0;
}

DWORD WINAPI FinishWorker(LPVOID) {
    if (!FinishAfterRestart) PostMessageA(BackgroundWindow, WM_USER, UM_FINISH_DONE, 0);
    return 0;
}
