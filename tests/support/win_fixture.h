// Set-up shared by the Windows tests: files built beside the test program, the module's resources,
// windows of a class of their own, and a package open as the package reader over a scratch log.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/archive_fixture.h"

namespace testsupport {

// A file built beside this test program.
std::string Beside(const char* name);
// The module as it ships, loaded for its resources only.
HMODULE LoadModuleResources();
// A window of className (registered with procedure and a white background), at 0,0.
HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style, int width = 0, int height = 0,
                      DWORD exStyle = 0);
bool Exists(const std::string& path);
// Whether the tests run under Wine, which emulates some parts of the system only in part.
bool RunningUnderWine();

// A scratch folder with a fresh installation log in it; the package reader, the restart and abort flags
// are reset afterwards.
class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Writes the members as SETUP.EXE in the folder, with the byte at damageAt flipped when given, and
    // opens it as the package reader on its first member.
    void OpenPackage(const std::vector<Member>& members, uint32_t volumeSize = 0xFFFFFFFF,
                     size_t damageAt = 0);
    ScratchFolder folder_;
};

}  // namespace testsupport
