// The fixed members at the head of a package, loaded by install mode before the wizard starts.
#pragma once

#include <stdint.h>

// Owned by start-up from loading until the end of install mode (released with free); read by the pages.
extern unsigned char* WizardBitmap;  // member KPWB, a bitmap file
extern uint32_t WizardBitmapSize;
extern char* LicenseText;  // member KPLI, NUL-terminated; only when [Info] LicenseInfo is set
extern char* InfoText;     // member KPPI, NUL-terminated; only when [Info] PreInfo is set

// Each moves the package reader to the next member, which must carry its name, and loads it; 1 when
// the target was filled. The license and information loaders return 1 without moving when the install
// information does not ask for their member.
int LoadWizardBitmap();
int LoadLicenseText();
int LoadInfoText();
