// The rollback of an aborted installation: removing what it installed so far.
#pragma once

#include <windows.h>

// The rollback's removals: loads the SourceFile, MiscFile and Folder counters from the log, rewinds the
// file list, then deletes the installed source files (not the replaced ones), undoes the misc files (shared
// counts lowered; registrations undone and the file deleted unless it was replaced, or left in place and
// logged with uninstall mode 2, in which case it stays untouched) and removes the created folders,
// innermost first. Nothing is reported; what cannot be removed stays.
void RollBackLoggedItems();
