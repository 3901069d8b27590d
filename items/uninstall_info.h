// The uninstall information file (UninstallInfoPath): the head, the installation log, the file list and
// the wizard bitmap, everything the uninstaller needs, in one read-only and hidden file.
#pragma once

// Logs the uninstall silent tool and the wizard stamp, then writes the file. 1 when it is written, or
// when the product registered no way to uninstall; 0 on failure, with no file left behind.
int WriteUninstallInfo();
