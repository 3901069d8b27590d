// Set-up shared by the Windows tests: files built beside the test program, the module's resources,
// windows of a class of their own, message boxes answered, an installation log in scratch files, and a
// package open as the package reader over that log.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
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

// From construction until Stop (or destruction), every message box of this process is read and closed
// with OK, so that a routine which shows one never blocks the test. Texts and owners of the boxes
// answered stay readable, in order.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher();
    ~MessageBoxWatcher() { Stop(); }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    void Stop();
    const std::vector<std::string>& Texts() const { return texts_; }
    const std::vector<HWND>& Owners() const { return owners_; }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::string> texts_;
    std::vector<HWND> owners_;
    std::thread thread_;
};

// Points InstallLogFile and FileListFile at new files in folder, opens the file list and sets every
// counter to 0. True when the file list could be opened.
bool OpenScratchLog(const std::string& folder);
// Flushes and closes them, and deletes both files.
void CloseScratchLog();
// The entries of a log section in the order NextLogItem gives them (counted sections newest first,
// source files in logging order), after its counter is loaded; the file list stays open for appending.
std::vector<std::string> LoggedEntries(const char* section);

constexpr char SharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A scratch folder with a fresh installation log in it; the package reader, the restart and abort flags
// and the shared counts set through it are reset afterwards.
class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh log and no restart needed, for the next row of a table.
    void FreshLog();
    // Writes the items into the install information file as SECTION1, SECTION2, ...; an empty item is
    // left out, as a gap in the list.
    void WriteItems(const char* section, const std::vector<std::string>& items);
    void SetSharedCount(const std::string& path, DWORD count);
    // Writes the members as SETUP.EXE in the folder, with the byte at damageAt flipped when given, and
    // opens it as the package reader on its first member.
    void OpenPackage(const std::vector<Member>& members, uint32_t volumeSize = 0xFFFFFFFF,
                     size_t damageAt = 0);
    ScratchFolder folder_;
    std::vector<std::string> counted_;
};

}  // namespace testsupport
