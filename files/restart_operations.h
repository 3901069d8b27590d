// Replacing and deleting files at the next system restart: delayed moves on the NT family, WININIT.INI
// on the 95 family.
#pragma once

// Arranges that source (a complete copy in the same folder) replaces target at the next restart.
// Non-zero when arranged; the caller sets RestartNeeded.
int ReplaceOnRestart(const char* target, const char* source);
// Arranges that path is deleted at the next restart; sets RestartNeeded when it was arranged.
void DeleteOnRestart(const char* path);
