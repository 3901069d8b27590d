// What the test COM servers record of themselves in the registry.
#include "tests/support/server_fixture.h"

#include <windows.h>

namespace testsupport {

std::string ServerRecord(const std::string& path) {
    char value[64] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Kelpack Tests", path.c_str(), RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "";
    return value;
}

}  // namespace testsupport
