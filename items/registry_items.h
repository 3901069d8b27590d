// Registry items: the keys and values the install information asks for, and their removal.
#pragma once

#include <windows.h>

#include "script/log_records.h"

// Writes every item of [Registry] (Registry1, Registry2, ... up to the first missing number) and logs what
// the uninstaller must remove. 1 when every key and value was written, 0 when any failed; the other items
// are written all the same.
int InstallRegistryItems();

// The uninstaller's side of the two log records. A key that does not open is passed over, a blank key
// (which would name the root itself) is refused; nothing is reported.
void RemoveRegistryValue(const RegistryValueRecord& record);
void RemoveRegistrySubKey(const RegistryKeyRecord& record);

// Deletes the key below root with every key under it. 1 when the key itself was deleted; 0 for a blank
// key, which would name the root.
int DeleteRegistryTree(HKEY root, const char* key);

// The four roots by the index the install information gives them (0 classes, 1 user, 2 machine,
// 3 users); null for any other index.
HKEY RegistryRoot(int index);
