// Registering and unregistering COM servers and type libraries of misc files.
#pragma once

// DllUnregisterServer of the file; 1 when it was found and succeeded. Shows nothing.
int UnregisterServerFile(const char* path);
// Unregisters the file's type library; 1 on success. Shows nothing.
int UnregisterTypeLibraryFile(const char* path);
