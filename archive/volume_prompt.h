// Asking the user for a volume file of the package that is not where it should be.
#pragma once

// The volume prompt of install mode (see SetVolumePrompt): 0 when the file of volume `volume` of the
// package reader exists, at once or after the user has brought it; -1 when the user cancels, which also
// sets the abort flag.
int VolumePrompt(unsigned volume);
