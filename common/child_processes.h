// Starting other programs.
#pragma once

// Starts program with the arguments (the program quoted; by file name only when the file does not
// exist, so that the system searches for it), in the program's folder when that exists; waits for its
// end when wait is set. 1 when the process was started.
int RunProgram(const char* program, const char* arguments, int wait);

// Restarts the system (enabling the shutdown privilege on the NT family). 1 when it was requested.
int RestartSystem();
