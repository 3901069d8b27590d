// Loading a library quietly for its registration entries, and the wide paths the type-library calls take.
#pragma once

#include <windows.h>

// The wait cursor and a quiet error mode while a library is loaded: an unreadable drive shows no dialog.
class LibraryLoadScope {
  public:
    LibraryLoadScope();
    ~LibraryLoadScope();
    LibraryLoadScope(const LibraryLoadScope&) = delete;
    LibraryLoadScope& operator=(const LibraryLoadScope&) = delete;

  private:
    HCURSOR cursor_;
    UINT mode_;
};

// Loads the library and calls the named entry (DllRegisterServer, DllUnregisterServer); *found says
// whether it exists, the result is the entry's own.
HRESULT CallServerEntry(const char* path, const char* entry, bool* found);

// The path in UTF-16 by the ANSI code page, into a 260-character buffer.
void WidePath(const char* path, WCHAR* wide);
