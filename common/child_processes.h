// Starting other programs.
#pragma once

#include <windows.h>

// Starts program with the arguments (the program quoted; by file name only when the file does not
// exist, so that the system searches for it), in the program's folder when that exists; waits for its
// end when wait is set, and then gives its exit code through exitCode when asked (0 when it cannot be
// read). 1 when the process was started.
int RunProgram(const char* program, const char* arguments, int wait, DWORD* exitCode = nullptr);

// Restarts the system (enabling the shutdown privilege on the NT family). 1 when it was requested.
int RestartSystem();
