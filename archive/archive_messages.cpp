// Messages about a damaged archive and a file that cannot be written.
#include "archive/archive_messages.h"

#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"

void ShowArchiveDamaged() { ShowWorkMessage(MessageId::ArchiveErrors, nullptr, MB_OK | MB_ICONERROR); }

void ShowCantInstallFile(const char* path) {
    ShowWorkMessage(MessageId::CantInstallFile, path, MB_OK | MB_ICONERROR);
}
