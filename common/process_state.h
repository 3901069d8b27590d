// Process-wide state of start-up, shared by every mode.
#pragma once

#include <windows.h>

#include <atomic>

// The module's instance: dialog templates, icons and the window class come from it. Set by WinMain.
extern HINSTANCE ModuleInstance;

// Install mode: the package named by the argument. Bootstrap mode: the module's own file.
extern char PackagePath[260];

// Install mode: the install information extracted from the package (the first member). Named when the
// working files are prepared.
extern char InstallInfoFile[260];

// Set just before the install message loop starts; member extraction shows its own messages only then.
// Read by the file-phase worker.
extern std::atomic<int> LoopRunning;

// The module's copy in the Windows folder, which every uninstall command and restart run starts.
constexpr char ModuleCopyName[] = "KPinst27.exe";

// Install mode: where the uninstall information file goes in the install folder. Chosen by
// RegisterUninstall, written there at the end of the system items; empty when the product registered
// no way to uninstall.
extern char UninstallInfoPath[260];

// The product title: [General] Title of the install information (or of the uninstall information file).
extern char Title[260];
// [Window] WizardStamp: shown by the wizard pages and recorded for uninstallation.
extern char WizardStampValue[260];
