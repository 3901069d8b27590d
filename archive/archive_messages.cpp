// Messages about a damaged archive and a file that cannot be written.
#include "archive/archive_messages.h"

#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/wizard_state.h"

void ShowArchiveDamaged() {
    if (AbortFlag) return;
    ShowMessage(CurrentPage, SelectText(MessageId::ArchiveErrors), MB_OK | MB_ICONERROR);
}

void ShowCantInstallFile(const char* path) {
    if (AbortFlag) return;
    ShowMessageAbout(CurrentPage, MessageId::CantInstallFile, path, MB_OK | MB_ICONERROR);
}
