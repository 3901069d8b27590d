// The switches of an unattended run. They live only on the command line of a run that names no mode
// (the user's start of a package, or of the module copy): "/S" makes the run silent, and only then are
// the others read.
#pragma once

// Switches are case-insensitive and may stand in any order, separated by blanks:
//   /S            silent: no window and no question
//   /D=folder     the install folder: absolute, quotes allowed, path variables not expanded
//   /LOG=file     the result log
//   /U=file       uninstall the product of this uninstall information file
// A value may be quoted ("/D=C:\A B", /D="C:\A B"); an unquoted one takes the words after it that do
// not start a switch, so that /D=C:\Program Files\App works as well.
struct UnattendedSwitches {
    int silent;
    char folder[260];
    char logFile[260];
    char uninstallInfo[260];
};

enum class SwitchesRead {
    NotSilent,  // no /S: the line keeps its old meaning (it is ignored)
    Silent,     // /S, every other switch well-formed
    Malformed,  // /S with an unknown switch, an empty or unterminated value, or a relative /D= or /U=
};

// Reads the line (null counts as empty) into switches, all cleared first. When the line is
// malformed, problem (a 260-byte buffer) names the word at fault.
SwitchesRead ReadUnattendedSwitches(const char* line, UnattendedSwitches* switches, char* problem);
