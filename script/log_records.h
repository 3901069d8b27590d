// One type per kind of installation-log record, each with the routine that writes it to the log and the
// one that reads the next back. The install steps, the rollback and the uninstaller speak to the log only
// through these, so that a record's form is written down once.
//
// Readers follow NextLogItem: source files come back in logging order, every other kind newest first,
// and the caller loads the counter (LoadLogCounter) and, for source files, rewinds the file list first.
// Each Next routine returns 1 with the record filled, 0 when the section has no more entries; an entry
// that is blank or does not parse is skipped, as every reader of the log has always done.
#pragma once

#include <stddef.h>

#include "common/strings.h"

// A file the installation wrote, in the file list. A replaced file existed before (logged with a
// trailing "*") and stays when the installation is undone.
struct SourceFileRecord {
    char path[PathBufferSize];
    int replaced;
};
void LogSourceFile(const char* path, int replaced);
int NextSourceFile(SourceFileRecord* record);

// A misc file: "path,uninstall mode,shared,server,type library,replaced", the flags "1" or "0".
struct MiscFileRecord {
    char path[PathBufferSize];
    int uninstallMode;
    int shared;
    int server;
    int typeLibrary;
    int replaced;
};
void LogMiscFile(const MiscFileRecord& record);
int NextMiscFile(MiscFileRecord* record);

// Folders: "Folder" holds every folder level the installation created, "ShellFolder" the levels below a
// shell folder that hold shortcuts (never twice), "Shortcut" the shortcut files.
enum class PathKind { Folder, ShellFolder, Shortcut };
void LogPath(PathKind kind, const char* path);
int NextPath(PathKind kind, char* path);  // path: PathBufferSize bytes

// The outermost registry key the installation created: "root index,key path".
struct RegistryKeyRecord {
    int root;
    char key[520];
};
void LogRegistryKey(const RegistryKeyRecord& record);
int NextRegistryKey(RegistryKeyRecord* record);

// A registry value the installation wrote: "root index,key path,value name". The root index is kept as
// the text the install information gave; the name is the rest of the entry, commas and all, and empty
// for the key's default value.
struct RegistryValueRecord {
    char root[16];
    char key[520];
    char name[260];
};
void LogRegistryValue(const RegistryValueRecord& record);
int NextRegistryValue(RegistryValueRecord* record);

// An INI file the installation created: "path,keep flag".
struct IniFileRecord {
    char path[PathBufferSize];
    int keep;
};
void LogIniFile(const IniFileRecord& record);
int NextIniFile(IniFileRecord* record);

// An INI entry the installation wrote: "file,section,key"; the key is the rest of the entry.
struct IniKeyRecord {
    char file[PathBufferSize];
    char section[260];
    char key[260];
};
void LogIniKey(const IniKeyRecord& record);
int NextIniKey(IniKeyRecord* record);

// How the product was registered for uninstallation: [General] UninstallType, a number; 0 when absent.
void LogUninstallType(int type);
int LoggedUninstallType();
