// Writing the uninstall information file: the last thing an installation writes.
#include "items/uninstall_info.h"

#include <windows.h>

#include "archive/archive_writer.h"
#include "archive/format.h"
#include "archive/uninstall_info_head.h"
#include "common/file_system.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/working_files_state.h"
#include "script/install_log.h"
#include "script/leading_members.h"
#include "script/path_variables.h"
#include "script/settings.h"

namespace {

int IsUninstallable() {
    return SettingExists("Uninstall", "CPLUninstallName", InstallInfoFile) ||
           SettingExists("Uninstall", "UninstallShortcutName", InstallInfoFile);
}

void LogExpanded(const char* key, const char* defaultValue, const char* loggedKey) {
    char value[PathBufferSize];
    if (ReadSetting("Uninstall", key, defaultValue, value, sizeof value, InstallInfoFile) == nullptr) return;
    ExpandPathVariables(value);
    LogItem("UninstallSilentTool", loggedKey, value);
}

// The uninstaller's own settings go into the log it will read.
void LogUninstallSettings() {
    if (SettingExists("Uninstall", "UninstallSilentToolPath", InstallInfoFile)) {
        LogExpanded("UninstallSilentToolPath", nullptr, "Path");
        LogExpanded("UninstallSilentToolArg", "", "Arg");
    }
    LogItem("Window", "WizardStamp", WizardStampValue);
}

int WriteHead() {
    unsigned char head[ArchiveFormat::UninstallArchiveOffset];
    FillUninstallHead(head, Title, LanguageFlag);
    ScopedFile file(CreateFileA(UninstallInfoPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 0;
    return WriteExact(file.get(), head, sizeof head);
}

int AddInstallLog() {
    // Source files logged since the file phase (the end-install information's) must be counted in it.
    WriteSourceFileCount();
    FlushSettings(InstallLogFile);
    ScopedFile log(CreateFileA(InstallLogFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return log.valid() && AddMemberFromFile(log.get(), ArchiveFormat::UninstallLogMember);
}

// The list is read through the run's own handle, which is left at its end for further records.
int AddFileList() {
    FlushFileBuffers(FileListHandle);
    return AddMemberFromFile(FileListHandle, ArchiveFormat::UninstallFileListMember);
}

int AddMembers() {
    if (!AddInstallLog() || !AddFileList()) return 0;
    return WizardBitmap == nullptr ||
           AddMemberFromMemory(WizardBitmap, WizardBitmapSize, ArchiveFormat::WizardBitmapMember);
}

}  // namespace

int WriteUninstallInfo() {
    if (!IsUninstallable()) return 1;
    LogUninstallSettings();

    if (!WriteHead()) {
        DeleteFileA(UninstallInfoPath);
        return 0;
    }
    UninstallWriter =
        CreateArchive(UninstallInfoPath, ArchiveFormat::UninstallArchiveOffset, ArchiveFormat::NotSplit);
    int written = UninstallWriter != nullptr && AddMembers();
    if (UninstallWriter != nullptr && FinishArchive(UninstallWriter) != 0) written = 0;
    UninstallWriter = nullptr;
    if (!written) {
        DeleteFileA(UninstallInfoPath);
        return 0;
    }
    SetFileAttributesA(UninstallInfoPath, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    return 1;
}
