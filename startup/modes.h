// Entry points of the module's six modes; each returns the process exit code (0, or -1 when the mode
// cannot start or its input is missing or damaged).
#pragma once

#include <windows.h>

int RunBootstrapMode(const char* commandLine);
int RunInstallMode(const char* packagePath);
int RunFinishMode(const char* endInstallFile);
int RunPostInstallMode(const char* endInstallFile);
int RunUninstallMode(const char* uninstallInfoFile);
int RunUninstallCleanupMode(const char* title);

// The product of an install information or end-install information file: title, language, the
// caption "Installation of <title>" and the wizard stamp.
void ReadProductSettings(const char* file);

// Bootstrap mode: sets PackagePath to the module's own file; 1 when that is a package, 0 when it is the
// bare module, -1 when it is too short to be either.
int FindOwnPackage();

// Copies the module part of PackagePath to the Windows folder and starts the copy in install mode.
// 1 when the copy was started; otherwise 0, after telling the user. With exitCode, waits for the copy's
// end and gives its exit code there.
int CopyModuleAndRun(DWORD* exitCode = nullptr);
// A run that names no mode but asks to be silent ("/S"): a silent installation of the package, or with
// "/U=" the silent uninstallation of an installed product. Logs the start and the exit code, which
// it returns (a SilentExit code).
int RunUnattended(const char* commandLine);
struct UnattendedSwitches;
// Install mode: the switches that the package's silent run passed on, read once; 1 when this run is
// silent, with SilentRun set and the result log opened.
int TakeUnattendedSwitches(UnattendedSwitches* switches);
// Install mode's silent run, once the package is open and its install information read: the folder,
// the file phase, the system items and the silent tool, with no window. The folder is the one the
// caller chose, or empty for the proposed one. A SilentExit code.
int RunSilentInstall(const char* folder);
// The silent uninstallation of the product of the uninstall information file. A SilentExit code.
int RunSilentUninstall(const char* uninstallInfoFile);

// Writes the module part of PackagePath to copyPath through a new file beside it, which takes the copy's
// place only when complete. 1 when a copy is in place: written, or one in use or protected kept as it
// is; 0 when none could be written, any copy there left untouched.
int RefreshModuleCopy(const char* copyPath);
