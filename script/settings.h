// Settings access: INI files through the profile API, and one registry string read (Win32, ANSI).
#pragma once

#include <windows.h>

// Every routine here takes the INI file as its last argument. A blank file name (null, empty, or only
// spaces and tabs) means the system's win.ini; any other name is passed to the profile API unchanged.
// Section and key names match without regard to case. Nothing is ever shown to the user.

// 1 when the key exists in the section, also with an empty value; else 0. With no key, 1 when the section
// exists with keys; with no section either, 1 when the file holds a section.
int SettingExists(const char* section, const char* key, const char* file);

// Reads the value into buffer (size bytes, always terminated) and returns buffer. The value comes back
// trimmed of blanks and of one pair of enclosing quotes. A missing key gives defaultValue, cut to fit, or,
// with no default, null with the buffer left as it was. Null also for no buffer or a size of 0.
char* ReadSetting(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size,
                  const char* file);

// The value as a signed decimal, read as "%ld" reads it: leading white space, an optional sign, digits,
// and the rest ignored; a number beyond the range of long saturates at LONG_MAX or LONG_MIN.
// defaultValue when the key is missing, the value blank, or it does not begin with a number.
long ReadIntSetting(const char* section, const char* key, long defaultValue, const char* file);

// 1 when ReadIntSetting with the same default gives a non-zero number, else 0.
int ReadBoolSetting(const char* section, const char* key, long defaultValue, const char* file);

// Writes the value; non-zero on success, the profile API's result. A value enclosed in quotes (double or
// single, after trimming) is stored inside one more pair of double quotes, so that a read gives it back
// with its own quotes. A null value deletes the key; see also the three routines below.
int WriteSetting(const char* section, const char* key, const char* value, const char* file);

// The value as signed decimal text; a flag as "1" (non-zero) or "0". Results as WriteSetting.
int WriteIntSetting(const char* section, const char* key, long value, const char* file);
int WriteBoolSetting(const char* section, const char* key, int flag, const char* file);

// Numbered entries: passes the values of prefix1, prefix2, ... of the section, up to the first number
// whose key does not exist, to each (values read into a buffer of valueSize bytes, at most 1560). 1 when
// each returned non-zero for every one (also for none), else 0; all are passed either way.
int ForEachNumberedSetting(const char* section, const char* prefix, DWORD valueSize,
                           int (*each)(const char* value), const char* file);

// 1 when the section is missing or has no keys, else 0.
int SectionIsEmpty(const char* section, const char* file);

// 1 when the file holds no section (or does not exist), else 0.
int FileHasNoSections(const char* file);

// Delete the key, delete the whole section, or write the system's cached copy of the file to disk (done
// before the file is opened as a plain file). Results as WriteSetting; for a flush the profile API gives 0
// whatever happened, so that result tells nothing.
int DeleteSetting(const char* section, const char* key, const char* file);
int DeleteSection(const char* section, const char* file);
int FlushSettings(const char* file);

// Reads a REG_SZ or REG_EXPAND_SZ value (the latter unexpanded) of an open key into buffer and returns 1.
// Every other outcome (no such value, another type, a text that does not fit in size bytes with its
// terminator) returns 0 with an empty buffer, never stale text. No buffer or a size of 0: 0, untouched.
int ReadRegistryString(HKEY key, const char* valueName, char* buffer, DWORD size);
