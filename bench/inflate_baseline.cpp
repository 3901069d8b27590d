// The install benchmark's baseline: the least a program must do to put a package's files on disk. It
// reads the package with the module's archive reader and writes every source member below FOLDER the
// way a member is written at install time (16 KiB blocks, the member's time set), creating each folder
// once; no wizard, no log, no checks of files already there.
// Usage: inflate_baseline PACKAGE FOLDER; exit code 0 when every member was written.
#include <stdio.h>
#include <windows.h>

#include <string>

#include "archive/archive_reader.h"
#include "archive/format.h"

namespace {

unsigned char Buffer[16384];

// Creates the folder and its missing parents.
void CreateFolders(const std::string& folder) {
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
}

bool WriteMember(ArchiveReader* reader, const MemberInfo& info, const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = OpenMemberData(reader) == 0;
    int count = 0;
    while (ok && (count = ReadMemberData(reader, Buffer, sizeof Buffer)) > 0) {
        DWORD done = 0;
        ok = WriteFile(file, Buffer, static_cast<DWORD>(count), &done, nullptr) && done == DWORD(count);
    }
    ok = ok && count == 0 && CloseMemberData(reader) == 0;
    FILETIME utc;
    if (ok && (info.time.dwLowDateTime != 0 || info.time.dwHighDateTime != 0) &&
        LocalFileTimeToFileTime(&info.time, &utc))
        SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: inflate_baseline PACKAGE FOLDER\n");
        return 2;
    }
    ArchiveReader* reader = OpenArchive(argv[1], ModuleSize);
    if (reader == nullptr) {
        fprintf(stderr, "inflate_baseline: cannot open %s\n", argv[1]);
        return 1;
    }
    const std::string root = argv[2];
    std::string lastFolder;
    int step = reader->memberCount == 0 ? -2 : 0;
    for (; step == 0; step = NextMember(reader)) {
        MemberInfo info;
        if (!GetMemberInfoOf(reader, &info)) break;
        const std::string name = info.name;
        if (name.compare(0, 4, "Src\\") != 0) continue;
        const std::string path = root + "\\" + name.substr(4);
        const std::string folder = path.substr(0, path.find_last_of('\\'));
        if (folder != lastFolder) {
            CreateFolders(folder);
            lastFolder = folder;
        }
        if (path.back() == '\\') continue;  // a folder member
        if (!WriteMember(reader, info, path)) {
            fprintf(stderr, "inflate_baseline: cannot write %s\n", path.c_str());
            break;
        }
    }
    CloseArchive(reader);
    return step == -2 ? 0 : 1;
}
