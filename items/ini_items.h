// INI items: the entries the install information asks for in INI files or win.ini, and their removal.
#pragma once

#include "script/log_records.h"

// Writes every item of [Ini] (Ini1, Ini2, ... up to the first missing number) and logs the folders and
// files it created and the keys it wrote. 1 when every write succeeded, 0 when any failed; the other
// items are written all the same.
int InstallIniItems();

// The uninstaller's side of an IniKey record: the key goes, then its section once empty, then the file
// once it holds no section (never win.ini, named by a blank file). A missing file is passed over.
void RemoveIniKey(const IniKeyRecord& record);
