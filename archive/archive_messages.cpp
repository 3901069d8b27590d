// Messages about a damaged archive and a file that cannot be written.
#include "archive/archive_messages.h"

#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/strings.h"
#include "ui/wizard_state.h"

void ShowArchiveDamaged() {
    if (AbortFlag) return;
    ShowMessage(CurrentPage, SelectText(MessageId::ArchiveErrors), MB_OK | MB_ICONERROR);
}

void ShowCantInstallFile(const char* path) {
    if (AbortFlag) return;
    // The path is bounded first, so the text always fits its 420 bytes.
    char shown[PathBufferSize];
    CopyBounded(sizeof shown, shown, path);
    char message[420];
    wsprintfA(message, SelectText(MessageId::CantInstallFile), shown);
    ShowMessage(CurrentPage, message, MB_OK | MB_ICONERROR);
}
