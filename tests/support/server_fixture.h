// What the test COM servers (tests/fixtures/com_server.c) record of themselves in the registry.
#pragma once

#include <string>

namespace testsupport {

// "registered" when the fixture server copied to path has registered itself, empty when not.
std::string ServerRecord(const std::string& path);

}  // namespace testsupport
