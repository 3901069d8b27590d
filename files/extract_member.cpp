// Writing the current member of the package to a file, or beside it when the file is in use.
#include "files/extract_member.h"

#include <windows.h>

#include "archive/archive_messages.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "files/restart_operations.h"
#include "script/log_records.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"

namespace {

HANDLE CreateForWriting(const char* path) {
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Callers outside the message loop report failures themselves.
void TellCantInstall(const char* target) {
    if (LoopRunning) ShowCantInstallFile(target);
}

void TellNoAdmin(const char* target) {
    if (LoopRunning) ShowWorkMessage(MessageId::NoAdminCantInstallFile, target, MB_OK | MB_ICONWARNING);
}

// The member goes to a new "_kp" file in the target's folder; the log keeps its name so that an
// uninstall or a rollback removes it if it is still there.
HANDLE CreateBeside(const char* target, char* temporary) {
    if (GetTempFileNameA(FolderOf(target), "_kp", 0, temporary) == 0) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateForWriting(temporary);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temporary);
        return file;
    }
    LogSourceFile(temporary, 0);
    return file;
}

// The replacement is arranged only once the copy is complete: a restart must never put a partial or
// deleted copy in the target's place.
void ArrangeReplacement(const char* target, const char* temporary) {
    if (!IsNtPlatform() || HasAdminRights()) {
        if (ReplaceOnRestart(target, temporary)) RestartNeeded = 1;
    }
}

// Member time is local; a member without a valid time leaves the file's own.
void SetMemberTime(HANDLE file) {
    MemberInfo info;
    if (!GetMemberInfo(&info) || (info.time.dwLowDateTime == 0 && info.time.dwHighDateTime == 0)) return;
    FILETIME utc;
    if (LocalFileTimeToFileTime(&info.time, &utc)) SetFileTime(file, nullptr, nullptr, &utc);
}

}  // namespace

long ExtractMemberToFile(const char* target) {
    char written[PathBufferSize];
    CopyBounded(sizeof written, written, target);
    int beside = 0;

    ScopedFile file(CreateForWriting(target));
    if (!file.valid()) {
        DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
            TellCantInstall(target);
            return -1;
        }
        // In use or protected: the system replaces it at the next restart.
        file.reset(CreateBeside(target, written));
        if (!file.valid()) {
            TellCantInstall(target);
            return -1;
        }
        beside = 1;
        if (IsNtPlatform() && !HasAdminRights()) TellNoAdmin(target);
    }

    long total = 0;
    int damaged = OpenMemberData(PackageReader) != 0;
    while (!damaged) {
        // A member once started is written to its end or to an error, abort or not.
        int count = ReadMemberData(PackageReader, CopyBuffer, sizeof CopyBuffer);
        if (count < 0) {
            CloseMemberData(PackageReader);
            damaged = 1;
        } else if (count == 0) {
            if (CloseMemberData(PackageReader) != 0) {
                damaged = 1;
                break;
            }
            SetMemberTime(file.get());
            file.reset();  // closed before the copy is handed on
            if (beside) ArrangeReplacement(target, written);
            return total;
        } else {
            DWORD done = 0;
            if (!WriteFile(file.get(), CopyBuffer, static_cast<DWORD>(count), &done, nullptr) ||
                done != static_cast<DWORD>(count)) {
                CloseMemberData(PackageReader);
                file.reset();
                DeleteFileA(written);
                TellCantInstall(target);
                return -1;
            }
            total += count;
            ReportProgress(static_cast<DWORD>(count));
        }
    }
    file.reset();
    DeleteFileA(written);
    if (LoopRunning) ShowArchiveDamaged();
    return -1;
}
