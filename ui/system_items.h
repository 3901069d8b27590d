// The system-items step of the installation, after the file phase.
#pragma once

// The stale RunOnce value and uninstall entry removed, then shortcuts, registry items, shell
// notification, INI items, uninstall registration, end-install information and uninstall information,
// in that order. A failing step shows its warning and the next step runs.
void InstallSystemItems();

// The wizard's step: runs on the user-interface thread while the file-phase worker waits for its
// report; shows the step on the progress page, installs the items and starts the silent-tool worker.
void RunSystemItems();
