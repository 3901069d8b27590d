// Definitions of the uninstall run's shared state.
#include "common/uninstall_state.h"

std::atomic<int> UninstallAbort{0};
int UninstallType = 0;
std::atomic<int> SharedFileAnswer{0};
std::atomic<int> SweepAnswer{0};
