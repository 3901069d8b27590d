// The two messages of member extraction, owned by the current page; silent once the user has aborted.
#pragma once

// "...There were some errors while extracting files from archive..." in the selected language.
void ShowArchiveDamaged();
// "Can't install file '<path>'..." in the selected language.
void ShowCantInstallFile(const char* path);
