// The file seam on Windows: the module's own access and sharing modes.
#include "common/file_io.h"

FileHandle FileOpen(const char* path, FileMode mode) {
    DWORD access = GENERIC_WRITE, disposition = OPEN_EXISTING;
    switch (mode) {
        case FileMode::ReadExisting:
            access = GENERIC_READ;
            break;
        case FileMode::WriteExisting:
            break;
        case FileMode::WriteAlways:
            disposition = OPEN_ALWAYS;
            break;
        case FileMode::WriteNew:
            disposition = CREATE_ALWAYS;
            break;
    }
    return CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void FileClose(FileHandle file) {
    if (file != NoFile) CloseHandle(file);
}

int FileRead(FileHandle file, void* buffer, uint32_t count, uint32_t* done) {
    DWORD moved = 0;
    BOOL ok = ReadFile(file, buffer, count, &moved, nullptr);
    *done = moved;
    return ok ? 1 : 0;
}

int FileWrite(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) {
    DWORD moved = 0;
    BOOL ok = WriteFile(file, buffer, count, &moved, nullptr);
    *done = moved;
    return ok ? 1 : 0;
}

uint32_t FileTell(FileHandle file) { return SetFilePointer(file, 0, nullptr, FILE_CURRENT); }

int FileSeek(FileHandle file, uint32_t offset) {
    LONG high = 0;
    DWORD low = SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) && low == offset && high == 0;
}

uint32_t FileSeekEnd(FileHandle file) { return SetFilePointer(file, 0, nullptr, FILE_END); }
