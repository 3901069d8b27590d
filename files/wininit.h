// The 95 family's restart work: lines in section Rename of a WININIT.INI, "short target=short source"
// to replace and "NUL=short path" to delete. The file is named by the caller so that the mechanism can
// be exercised on any file.
#pragma once

// Writes target=source with both short names. 1 when written; 0 when a short name cannot be had.
int WininitReplace(const char* iniFile, const char* target, const char* source);
// Adds a NUL= line for path (which must exist, for its short name). 1 when the line was written.
int WininitDelete(const char* iniFile, const char* path);
