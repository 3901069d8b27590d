// The file phase: source-folder members into the install folder, then the misc members where their
// entries say, each logged for the uninstaller and the rollback.
#include "files/file_phase.h"

#include <windows.h>

#include "archive/archive_messages.h"
#include "archive/archive_reader.h"
#include "common/file_system.h"
#include "common/paths.h"
#include "common/strings.h"
#include "files/extract_member.h"
#include "files/file_facts.h"
#include "files/overwrite_dialog.h"
#include "items/server_registration.h"
#include "script/install_log.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "common/process_state.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"

namespace {

// The misc entry the next misc member belongs to; one file phase runs per installation.
int MiscNumber = 1;

// Outside the message loop there is no page to own the message; the result 0 tells it.
int Damaged() {
    if (LoopRunning) ShowArchiveDamaged();
    return 0;
}

int CantInstall(const char* path) {
    if (LoopRunning) ShowCantInstallFile(path);
    return 0;
}

void FactsOfMember(const MemberInfo& info, const char* path, FileFacts* facts) {
    CopyBounded(sizeof facts->path, facts->path, path);
    facts->size = info.uncompressedLeft;
    facts->time = info.time;
    facts->version.high = info.versionHigh;
    facts->version.low = info.versionLow;
}

// Creates the folder with its missing parents, logging each new one outer first.
int CreateLoggedFolder(const char* folder) {
    char path[PathBufferSize];
    CopyBounded(sizeof path, path, folder);
    for (const char* created = CreateFolderPath(path); created != nullptr;
         created = CreateFolderPath(nullptr))
        LogPath(PathKind::Folder, created);
    return FolderExists(path);
}

// Asks unless the abort flag is set: 1 replace, 0 keep, -1 aborted before asking.
int Ask(int kind, const FileFacts& member, const FileFacts& existing) {
    if (AbortFlag) return -1;
    OverwriteQuestion question;
    question.kind = kind;
    question.member = member;
    question.existing = existing;
    return AskOverwrite(question);
}

// A file left in place counts as done: its size goes to the progress bar. 0 once the phase is aborted.
int KeepInPlace(const MemberInfo& info) {
    if (AbortFlag) return 0;
    ReportProgress(info.uncompressedLeft);
    return 1;
}

// The folder the last file went to, known to exist: files come folder by folder, and checking each
// level of the path again for every file cost more than writing a small file.
char CheckedFolder[PathBufferSize];

// Creates the folder that holds path, with its missing parents, each logged; 1 when it exists.
int CreateLoggedFolderOf(const char* path) {
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(path));
    if (lstrcmpiA(folder, CheckedFolder) == 0) return 1;
    if (!CreateLoggedFolder(folder)) return 0;
    CopyBounded(sizeof CheckedFolder, CheckedFolder, folder);
    return 1;
}

// The user's standing answer for this kind of file (1 replace all, -1 keep all), else the question:
// 1 replace, 0 keep, -1 aborted before asking.
int ReplaceByAnswer(int answer, int kind, const FileFacts& member, const FileFacts& existing) {
    if (answer != 0) return answer == 1;
    return Ask(kind, member, existing);
}

// Registration now, or recorded for after the restart when the file may not be in place yet.
int RegisterServer(const char* target) {
    if (!RestartNeeded) return RegisterServerFile(target);
    DeferServerRegistration(target);
    return 1;
}

int RegisterTypeLibrary(const char* target) {
    if (!RestartNeeded) return RegisterTypeLibraryFile(target);
    DeferTypeLibraryRegistration(target);
    return 1;
}

}  // namespace

int InstallSourceFolderFiles() {
    SourceOverwriteAnswer =
        ReadBoolSetting("General", "ConfirmOverwriteSourceFolderFile", 1, InstallInfoFile) ? 0 : 1;
    if (AbortFlag) return 1;
    for (;;) {
        int moved = NextMember(PackageReader);
        if (moved == -2) return 1;
        if (moved != 0) return Damaged();
        MemberInfo info;
        if (!GetMemberInfo(&info)) return Damaged();
        if (info.name[0] != 'S' || info.name[1] != 'r' || info.name[2] != 'c') return 1;
        if (!IsSafeSourceMemberName(info.name)) return Damaged();

        const char* relative = info.name + 4;
        // A path cut to fit would be another file or folder than the one packed.
        if (lstrlenA(InstallDir) + 1 + lstrlenA(relative) >= static_cast<int>(PathBufferSize))
            return CantInstall(relative);
        char target[PathBufferSize];
        CopyBounded(sizeof target, target, JoinPath(InstallDir, relative));
        int isFile = target[lstrlenA(target) - 1] != '\\';

        int replaced = 0, keep = 0;
        if (isFile) {
            InstalledBytes += info.uncompressedLeft;
            ReportItem(relative);
            FileFacts existing;
            CopyBounded(sizeof existing.path, existing.path, target);
            if (GetFileFacts(&existing)) {
                FileFacts member;
                FactsOfMember(info, info.name, &member);
                int reply = ReplaceByAnswer(SourceOverwriteAnswer, SourceFolderFile, member, existing);
                if (reply < 0) return 1;
                replaced = reply;
                keep = !reply;
            }
        }

        if (keep) {
            if (!KeepInPlace(info)) return 1;
        } else {
            if (!CreateLoggedFolderOf(target) && !isFile) return CantInstall(target);
            if (isFile) {
                if (ExtractMemberToFile(target) == -1) return 0;
                LogSourceFile(target, replaced);
            }
        }
        if (AbortFlag) return 1;
    }
}

int InstallMiscFiles() {
    for (;;) {
        // The source pass also ends on an abort; its current member is then no misc member.
        if (AbortFlag) return 1;
        char key[32];
        wsprintfA(key, "MiscFile%d", MiscNumber);
        char entry[520];
        if (ReadSetting("MiscFile", key, nullptr, entry, sizeof entry, InstallInfoFile) == nullptr) return 1;
        char target[PathBufferSize], mode[PathBufferSize], uninstall[PathBufferSize];
        char shared[PathBufferSize], server[PathBufferSize], typeLibrary[PathBufferSize];
        char* const fields[] = {target, mode, uninstall, shared, server, typeLibrary};
        SplitFields(entry, fields, 6);

        if (MiscNumber != 1 && NextMember(PackageReader) != 0) return Damaged();
        char name[32];
        wsprintfA(name, "Misc%d", MiscNumber);
        if (!MemberNameIs(name)) return Damaged();
        MemberInfo info;
        if (!GetMemberInfo(&info)) return Damaged();

        ExpandPathVariables(target);
        ReportItem(target);
        InstalledBytes += info.uncompressedLeft;

        int installed = 0, replaced = 0, keep = 0;
        FileFacts existing;
        CopyBounded(sizeof existing.path, existing.path, target);
        const int existedBefore = GetFileFacts(&existing);
        if (existedBefore) {
            FileFacts member;
            FactsOfMember(info, target, &member);
            switch (LeadingNumber(mode)) {
                case 2:
                    replaced = 1;
                    break;
                case 1:
                    replaced = IsNewer(member, existing, 0);
                    break;
                case 0: {
                    int reply = ReplaceByAnswer(MiscOverwriteAnswer, MiscFile, member, existing);
                    if (reply < 0) return 1;
                    replaced = reply;
                    break;
                }
                default:
                    break;
            }
            keep = !replaced;
        }

        if (keep) {
            if (!KeepInPlace(info)) return 1;
        } else {
            CreateLoggedFolderOf(target);
            if (ExtractMemberToFile(target) == -1) return 0;
            installed = 1;
        }

        // A file left in place is still used by this installation.
        int isShared = lstrcmpA(shared, "1") == 0;
        if (isShared) IncrementSharedCount(target, existedBefore);
        int serverDone = lstrcmpA(server, "1") == 0 && RegisterServer(target);
        int typeLibraryDone = lstrcmpA(typeLibrary, "1") == 0 && RegisterTypeLibrary(target);

        MiscFileRecord logged;
        CopyBounded(sizeof logged.path, logged.path, target);
        logged.uninstallMode = installed ? LeadingNumber(uninstall) : 2;
        logged.shared = isShared;
        logged.server = serverDone;
        logged.typeLibrary = typeLibraryDone;
        logged.replaced = replaced;
        LogMiscFile(logged);

        ++MiscNumber;
        if (AbortFlag) return 1;
    }
}

int RunFilePhase() {
    SourceOverwriteAnswer = 0;
    MiscOverwriteAnswer = 0;
    MiscNumber = 1;
    InstalledBytes = 0;
    CheckedFolder[0] = '\0';
    // Only ever raised here: a restart already arranged stays needed.
    if (ReadBoolSetting("General", "NeedRestart", 0, InstallInfoFile)) RestartNeeded = 1;

    int result = InstallSourceFolderFiles();
    if (result == 1) result = InstallMiscFiles();
    if (AbortFlag) result = 1;
    WriteSourceFileCount();
    return result;
}
