// Names for the run's temporary files.
#pragma once

// A new empty file "_kp????.TMP" in GuardedFolder, or in TempFolder when there is none, its name in
// buffer (260 bytes); non-zero on success.
int MakeTempName(char* buffer);
