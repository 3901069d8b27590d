// Set-up shared by the Windows tests: fixture files, the module's resources, test windows, message boxes
// answered, a scratch installation log and a package open as the package reader.
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

// Until Stop, every message box of this process is read and closed with OK, so that none blocks the test;
// the texts and owners of the boxes answered, in order.
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

// Points InstallLogFile and FileListFile at new files in folder, opens the list, zeroes the counters.
bool OpenScratchLog(const std::string& folder);
// Flushes and closes them, and deletes both files.
void CloseScratchLog();
// A log section's entries as NextLogItem gives them (counted ones newest first); the list stays open.
std::vector<std::string> LoggedEntries(const char* section);

constexpr char SharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A scratch folder with the log and the run's files in it, English, COM, the module's resources and a page
// owning the dialogs; the package reader, restart and abort flags and shared counts are reset afterwards.
class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh log and no restart needed, for the next row of a table.
    void FreshLog();
    // Writes the items into InstallInfoFile as SECTION1, SECTION2, ...; an empty item leaves a gap.
    void WriteItems(const char* section, const std::vector<std::string>& items);
    void SetSharedCount(const std::string& path, DWORD count);
    // Writes the members as SETUP.EXE (the byte at damageAt flipped) and opens it as the package reader.
    void OpenPackage(const std::vector<Member>& members, uint32_t volumeSize = 0xFFFFFFFF,
                     size_t damageAt = 0);
    ScratchFolder folder_;
    std::vector<std::string> counted_;
    HWND standInPage_ = nullptr;
};

}  // namespace testsupport
