// Definitions of the process-wide state of start-up.
#include "common/process_state.h"

HINSTANCE ModuleInstance = nullptr;
char PackagePath[260] = "";
char InstallInfoFile[260] = "";
std::atomic<int> LoopRunning{0};
char UninstallInfoPath[260] = "";
char Title[260] = "";
char WizardStampValue[260] = "";
