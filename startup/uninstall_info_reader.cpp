#include "startup/uninstall_info_reader.h"

#include <stdlib.h>
#include <windows.h>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/working_files_state.h"
#include "files/extract_member.h"
#include "script/install_log.h"
#include "script/leading_members.h"
#include "script/path_variables.h"
#include "startup/working_files.h"

namespace {

int FailToInitialize() {
    RemoveGuardedFolder();
    ShowMessage(nullptr, EnglishText::CantInitializeUninstall, MB_OK | MB_ICONERROR);
    return 0;
}

int FailDamaged() {
    CloseArchive(PackageReader);
    PackageReader = nullptr;
    RemoveGuardedFolder();
    ShowMessage(nullptr, EnglishText::UninstallInfoDamaged, MB_OK | MB_ICONERROR);
    return 0;
}

// Each name is reserved by the empty file the system creates for it; the files go again at once.
int ReserveNames() {
    char* const names[] = {InstallLogFile, FileListFile, HandledListFile, ParkedUninstallInfo};
    constexpr int Count = sizeof names / sizeof names[0];
    int reserved = 0;
    while (reserved < Count && MakeTempName(names[reserved])) ++reserved;
    for (int i = reserved - 1; i >= 0; --i) DeleteFileA(names[i]);
    return reserved == Count;
}

int IsWhole(const ArchiveReader* reader) {
    const DWORD size = GetFileSize(reader->file, nullptr);
    return size != INVALID_FILE_SIZE && reader->totalSize <= size;
}

int ExtractLogAndFileList() {
    if (!MemberNameIs(ArchiveFormat::UninstallLogMember) || ExtractMemberToFile(InstallLogFile) < 0) return 0;
    if (NextMember(PackageReader) == 0 && MemberNameIs(ArchiveFormat::UninstallFileListMember) &&
        ExtractMemberToFile(FileListFile) >= 0)
        return 1;
    DeleteFileA(InstallLogFile);
    return 0;
}

// The bitmap is the one member the uninstallation can do without.
void LoadBitmap() {
    if (NextMember(PackageReader) != 0 || !MemberNameIs(ArchiveFormat::WizardBitmapMember)) return;
    uint32_t size = 0;
    WizardBitmap = ReadMemberToMemory(&size);
    WizardBitmapSize = WizardBitmap != nullptr ? size : 0;
    if (WizardBitmap == nullptr)
        ShowMessage(nullptr, EnglishText::UninstallBitmapDamaged, MB_OK | MB_ICONWARNING);
}

void LoadCounters() {
    for (const char* section : {"Folder", "SourceFile", "MiscFile", "Shortcut", "ShellFolder",
                                "RegistrySubKey", "RegistryValue", "IniFile", "IniKey"})
        LoadLogCounter(section);
}

}  // namespace

int ReadUninstallInfo() {
    const UINT length = GetWindowsDirectoryA(WinDir, sizeof WinDir);
    if (length == 0 || length >= sizeof WinDir || !FindTempFolder(TempFolder)) return FailToInitialize();
    if (!MakeGuardedFolder(GetCurrentProcessId() * 0x10001u ^ GetTickCount()) || !ReserveNames())
        return FailToInitialize();

    PackageReader = OpenArchive(UninstallInfoPath, ArchiveFormat::UninstallArchiveOffset);
    if (PackageReader == nullptr || !IsWhole(PackageReader) || !ExtractLogAndFileList()) return FailDamaged();
    FileListHandle = CreateFileA(FileListFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FileListHandle == INVALID_HANDLE_VALUE) {
        DeleteFileA(FileListFile);
        DeleteFileA(InstallLogFile);
        CloseArchive(PackageReader);
        PackageReader = nullptr;
        return FailToInitialize();
    }
    // A silent run shows no bitmap.
    if (!SilentRun) LoadBitmap();
    CloseArchive(PackageReader);
    PackageReader = nullptr;

    HandledListHandle = CreateFileA(HandledListFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (HandledListHandle == INVALID_HANDLE_VALUE) {
        RemoveUninstallWorkFiles();
        ShowMessage(nullptr, EnglishText::CantInitializeUninstall, MB_OK | MB_ICONERROR);
        return 0;
    }
    LoadCounters();
    return 1;
}
