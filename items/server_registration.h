// Registering and unregistering COM servers and type libraries of misc files, now or after the restart.
#pragma once

// Calls the file's DllRegisterServer; 1 on success. A failure is shown to the user and gives 0.
int RegisterServerFile(const char* path);
// Registers the type library of the file; 1 on success. A failure is shown to the user and gives 0.
int RegisterTypeLibraryFile(const char* path);
// Record the file for registration in the run after the restart, when it will be in place: the next
// numbered key of [RegisterServer] or [RegisterTypeLibrary] in EndInstallFile. The result is the
// profile API's, non-zero when written; nothing is shown.
int DeferServerRegistration(const char* path);
int DeferTypeLibraryRegistration(const char* path);

// The numbers of the last keys written to the two deferred lists: 0 at the start of the run. Written
// by the file-phase worker only.
extern long DeferredServers;
extern long DeferredTypeLibraries;

// "Error registering file '<path>'." owned by the current page, unless the installation was aborted.
void ShowRegistrationError(const char* path);

// DllUnregisterServer of the file; 1 when it was found and succeeded. Shows nothing.
int UnregisterServerFile(const char* path);
// Unregisters the file's type library; 1 on success. Shows nothing.
int UnregisterTypeLibraryFile(const char* path);
