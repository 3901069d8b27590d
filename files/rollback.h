// The rollback of an aborted installation: removing what it installed so far.
#pragma once

#include <windows.h>

// The rollback's removals: loads the SourceFile, MiscFile and Folder counters from the log, rewinds the
// file list, then deletes the installed source files (not the replaced ones), undoes the misc files (shared
// counts lowered, registrations undone, replaced files kept) and removes the created folders, innermost
// first. Nothing is reported; what cannot be removed stays.
void RollBackLoggedItems();
