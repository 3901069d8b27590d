// The volume prompt: a diskette or CD is asked for by drive, a file on a fixed or network drive by folder.
#include "archive/volume_prompt.h"

#include <windows.h>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/wizard_state.h"

namespace {

// The English texts name the file first, the Korean ones the drive or folder.
int AskAboutVolume(MessageId text, const char* fileName, const char* place, UINT style) {
    char message[1024];
    // A silent run logs the English text.
    if (SilentRun) {
        wsprintfA(message, MessageOf(text).english, fileName, place);
    } else if (LanguageFlag != 0) {
        wsprintfA(message, SelectText(text), fileName, place);
    } else {
        wsprintfA(message, SelectText(text), place, fileName);
    }
    return ShowMessage(CurrentPage, message, style);
}

}  // namespace

int VolumePrompt(unsigned volume) {
    if (PackageReader == nullptr) return -1;
    char path[PathBufferSize];
    VolumePath(PackageReader->basePath, volume, path);
    if (FileExists(path)) return 0;

    char fileName[PathBufferSize];
    CopyBounded(sizeof fileName, fileName, FileNameOf(path));
    if (IsRemovableDrive(path)) {
        char drive[PathBufferSize];
        CopyBounded(sizeof drive, drive, DriveOf(path));
        AskAboutVolume(MessageId::InsertVolume, fileName, drive, MB_OK | MB_ICONWARNING);
        for (;;) {
            if (FileExists(path)) return 0;
            if (AskAboutVolume(MessageId::VolumeNotOnDrive, fileName, drive,
                               MB_RETRYCANCEL | MB_ICONWARNING) == IDCANCEL)
                break;
        }
    } else {
        char folder[PathBufferSize];
        CopyBounded(sizeof folder, folder, FolderOf(path));
        for (;;) {
            if (AskAboutVolume(MessageId::VolumeNotInFolder, fileName, folder,
                               MB_RETRYCANCEL | MB_ICONWARNING) == IDCANCEL)
                break;
            if (FileExists(path)) return 0;
        }
    }
    AbortFlag = 1;
    return -1;
}
