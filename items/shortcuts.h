// Shortcuts: shell links made through the shell's link object, with what the uninstaller must remove
// logged. COM must be initialised on the calling thread.
#pragma once

// Saves folder\name.LNK pointing at target. Trims the caller's folder (trailing blanks and backslashes)
// and name (blanks and backslashes at both ends) in place; the icon is set only when iconFile is not
// blank. 1 when the link was saved, else 0. Strings of at most 259 characters.
int CreateShortcutFile(char* folder, char* name, const char* target, const char* arguments,
                       const char* workingFolder, const char* iconFile, int iconIndex);

// Makes a shortcut in folder, a field of the install information (shell-folder variables not yet
// expanded), and logs it: every level of the folder below its first component as a ShellFolder (never
// the shell folder itself), the missing folders made on the way, the saved file as a Shortcut. Folder and
// name are changed in place. 1 when the link was saved.
int PlaceShortcut(char* folder, char* name, const char* target, const char* arguments,
                  const char* workingFolder, const char* iconFile, int iconIndex);

// Makes every shortcut of [Shortcut] (Shortcut1, Shortcut2, ... up to the first missing number) and
// logs the levels below each shell folder and the files saved. 1 when all were made (also for none).
int InstallShortcuts();

// The file the system saved for folder\name: the .LNK, or for an MS-DOS target the .PIF of that name
// when no .LNK exists. Own buffer until the next call.
const char* SavedShortcutName(const char* folder, const char* name);
