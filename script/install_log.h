// The installation log: counted item sections in an INI file (InstallLogFile) and the paths of the
// installed source files as length-prefixed records in the file list (FileListHandle).
#pragma once

// Appends one item. Counted sections (Folder, SourceFile, MiscFile, ShellFolder, Shortcut,
// RegistrySubKey, RegistryValue, IniFile, IniKey) ignore key; ShellFolder never logs a folder twice.
// Any other section stores value under key (nothing without a key). A null value counts as empty.
// A SourceFile path of 256 bytes or more, which the record's length byte cannot hold, is recorded by the
// file's short name when that fits (a trailing "*" kept); otherwise it is left out and not counted.
void LogItem(const char* section, const char* key, const char* value);

// The next entry of a counted section into buffer: SourceFile entries in logging order, the others
// newest first. 0 when the section has no more entries (or is not counted).
// SourceFile reads the file list where its position stands and never moves it back: before the first
// read of a pass the caller calls RewindFileList (the writer leaves the list at its end).
int NextLogItem(const char* section, char* buffer);

// Install mode starts with every counter at 0.
void ResetLogCounters();
// Writes the SourceFile count to the log once files have been logged since it was last written; the
// file phase calls it at its end, before anyone reads the log.
void WriteSourceFileCount();
// Takes the section's counter from its count key in the log (uninstall mode, rollback), after writing a
// pending SourceFile count.
void LoadLogCounter(const char* section);
// The section's counter as it stands: the entries not yet read back (0 for a section not counted).
long LogCounter(const char* section);
// Moves the file list to its first record, for reading.
void RewindFileList();
