// What the test COM servers (tests/fixtures/com_server.c) record of themselves in the registry.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// "registered" when the fixture server copied to path has registered itself, empty when not.
inline std::string ServerRecord(const std::string& path) {
    char value[64] = "";
    DWORD size = sizeof value;
    const LONG read = RegGetValueA(HKEY_CURRENT_USER, "Software\\Kelpack Tests", path.c_str(), RRF_RT_REG_SZ,
                                   nullptr, value, &size);
    return read == ERROR_SUCCESS ? value : "";
}

}  // namespace testsupport
