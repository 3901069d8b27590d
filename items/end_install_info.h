// The end-install information file (EndInstallFile): what the end of an installation still has to do,
// carried into the run after a restart when one is needed.
#pragma once

// Writes the title, language, program group folder, application, information and wizard stamp; with a
// restart needed also the RunOnce value that starts the module copy with "-i" and this file, and a copy
// of the wizard bitmap. 1 when everything was written; 0 when the RunOnce value or the bitmap copy
// failed (the rest is written all the same).
int WriteEndInstallInfo();
