// An installation log in scratch files for the Windows tests.
#include "tests/support/scratch_log.h"

#include <windows.h>

#include "script/install_log.h"
#include "script/settings.h"
#include "common/working_files_state.h"

namespace testsupport {

bool OpenScratchLog(const std::string& folder) {
    lstrcpynA(InstallLogFile, (folder + "\\kp-log.ini").c_str(), sizeof InstallLogFile);
    lstrcpynA(FileListFile, (folder + "\\kp-files.lst").c_str(), sizeof FileListFile);
    DeleteFileA(InstallLogFile);
    FileListHandle = CreateFileA(FileListFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ResetLogCounters();
    return FileListHandle != INVALID_HANDLE_VALUE;
}

void CloseScratchLog() {
    FlushSettings(InstallLogFile);
    CloseHandle(FileListHandle);
    FileListHandle = INVALID_HANDLE_VALUE;
    DeleteFileA(FileListFile);
    DeleteFileA(InstallLogFile);
}

std::vector<std::string> LoggedEntries(const char* section) {
    FlushSettings(InstallLogFile);
    const bool sourceFiles = lstrcmpA(section, "SourceFile") == 0;
    if (sourceFiles) RewindFileList();
    LoadLogCounter(section);
    std::vector<std::string> entries;
    char value[1024];
    while (NextLogItem(section, value)) entries.push_back(value);
    if (sourceFiles) SetFilePointer(FileListHandle, 0, nullptr, FILE_END);
    return entries;
}

}  // namespace testsupport
