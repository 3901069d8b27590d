// Writing the current member of the package to a file, or beside it when the file is in use.
#include "files/extract_member.h"

#include <windows.h>

#include "archive/archive_messages.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/file_system.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "files/restart_operations.h"
#include "script/log_records.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"

namespace {

// Callers outside the message loop report failures themselves.
void TellCantInstall(const char* target) {
    if (LoopRunning) ShowCantInstallFile(target);
}

// A target that exists but cannot be opened for writing is in use or protected.
int InUse(const char* target) {
    ScopedFile probe(CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe.valid() && IsInUseError(GetLastError());
}

// A copy that waits for the restart is logged under its own name, so that an uninstall or a rollback
// removes it if it is still there.
void KeepForRestart(const char* target, const char* temporary) {
    LogSourceFile(temporary, 0);
    if (LoopRunning && IsNtPlatform() && !HasAdminRights())
        ShowWorkMessage(MessageId::NoAdminCantInstallFile, target, MB_OK | MB_ICONWARNING);
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

// A target that is already there gets the member in a new file beside it, which takes its place only
// when it is complete and its CRC good: a damaged member or a full disk never costs the file it was to
// replace. A target that is not there yet is written in place (created only if it still is not): there
// is no file to lose, so the probe, the temporary name and the rename, most of the cost of a small
// file, are saved.
long ExtractMemberToFile(const char* target) {
    char written[PathBufferSize];
    CopyBounded(sizeof written, written, target);
    ScopedFile file(CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    const int inPlace = file.valid();
    int inUse = 0;
    if (!inPlace) {
        inUse = InUse(target);
        file.reset(CreateFileBeside(target, written));
        if (!file.valid()) {
            TellCantInstall(target);
            return -1;
        }
        // In use or protected: the system replaces it at the next restart.
        if (inUse) KeepForRestart(target, written);
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
            file.reset();  // closed before the copy is moved or handed on
            if (inPlace) return total;
            if (!inUse && !MoveFileOver(written, target)) {
                // Taken since the test above, or open to others without delete sharing.
                if (!IsInUseError(GetLastError())) break;
                inUse = 1;
                KeepForRestart(target, written);
            }
            if (inUse) ArrangeReplacement(target, written);
            return total;
        } else {
            DWORD done = 0;
            if (!WriteFile(file.get(), CopyBuffer, static_cast<DWORD>(count), &done, nullptr) ||
                done != static_cast<DWORD>(count)) {
                CloseMemberData(PackageReader);
                break;
            }
            total += count;
            ReportProgress(static_cast<DWORD>(count));
        }
    }
    file.reset();
    DeleteFileA(written);
    if (!damaged) {
        TellCantInstall(target);
    } else if (LoopRunning) {
        ShowArchiveDamaged();
    }
    return -1;
}
