// Entry points of the module's six modes; each returns the process exit code (0, or -1 when the mode
// cannot start or its input is missing or damaged).
#pragma once

int RunBootstrapMode();
int RunInstallMode(const char* packagePath);
int RunFinishMode(const char* endInstallFile);
int RunPostInstallMode(const char* endInstallFile);
int RunUninstallMode(const char* uninstallInfoFile);
int RunUninstallCleanupMode(const char* title);

// The product of an install information or end-install information file: title, language, the
// caption "Installation of <title>" and the wizard stamp.
void ReadProductSettings(const char* file);

// Copies the module part of PackagePath to the Windows folder and starts the copy in install mode.
// 1 when the copy was started; otherwise 0, after telling the user.
int CopyModuleAndRun();
// Writes the module part of PackagePath to copyPath through a new file beside it, which takes the copy's
// place only when complete. 1 when a copy is in place: written, or one in use or protected kept as it
// is; 0 when none could be written, any copy there left untouched.
int RefreshModuleCopy(const char* copyPath);
