// Definitions of the wizard state that other subsystems read.
#include "common/wizard_state.h"

std::atomic<int> AbortFlag{0};
std::atomic<int> WorkerHeld{0};

void WaitWhileWorkerHeld() {
    while (WorkerHeld) Sleep(20);
}
std::atomic<HWND> CurrentPage{nullptr};
std::atomic<int> RestartNeeded{0};
std::atomic<int> RestartRequested{0};
int BackgroundShown = 0;
char HeaderText[260] = "";
unsigned long long InstalledBytes = 0;
