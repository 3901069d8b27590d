// Platform tests. The family decides the mechanism wherever the two differ; it is never found out by
// trying.
#include "common/platform.h"

#include <windows.h>

int IsNtPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Opening the service control manager for writing needs administrator rights.
int HasAdminRights() {
    if (!IsNtPlatform()) return 1;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE);
    if (manager == nullptr) return 0;
    CloseServiceHandle(manager);
    return 1;
}
