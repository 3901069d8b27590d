// How a command line selects the module's mode and its argument.
#pragma once

enum class Mode {
    Bootstrap,         // anything else, also an empty line: the user ran the package
    Install,           // "-I" package path
    Finish,            // "-i" end-install information file, after a restart
    PostInstall,       // "~i" end-install information file
    Uninstall,         // "-U" uninstall information file
    UninstallCleanup,  // "-u" title, after a restart
};

// The mode chosen by the first two characters of the command line (case-sensitive).
Mode ModeOf(const char* commandLine);

// The argument: the command line from its third character on, taken whole (blanks and quotes kept),
// cut to fit argument's 260 bytes. Empty when the line is shorter than the option.
void ArgumentOf(const char* commandLine, char* argument);
