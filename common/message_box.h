// Message boxes of the module: every one carries the module caption.
#pragma once

#include <windows.h>

// Caption of every message box and of the background window: "Kelpack" at start, then set per mode
// (the installation's or uninstallation's caption). Written by the mode that runs; read here.
extern char ModuleCaption[260];

// Shows text with the module caption, owned by owner (none before the wizard exists); returns the
// button the user chose.
int ShowMessage(HWND owner, const char* text, UINT style);

enum class MessageId : unsigned char;

// The same with the text of id in the selected language, its %s filled with the argument (a path, a
// drive or a title; cut to a path buffer first, so the message always fits).
int ShowMessageAbout(HWND owner, MessageId id, const char* argument, UINT style);

// A message of the installation's work, owned by the current wizard page; nothing once the user has
// aborted, who asked to stop and is told nothing more (0 then). Without an argument the text is shown
// as it stands.
int ShowWorkMessage(MessageId id, const char* argument, UINT style);
