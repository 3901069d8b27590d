// The file seam on POSIX systems (the packaging tool and the host tests).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_io.h"

FileHandle FileOpen(const char* path, FileMode mode) {
    int flags = O_RDONLY;
    switch (mode) {
        case FileMode::ReadExisting:
            flags = O_RDONLY;
            break;
        case FileMode::WriteExisting:
            flags = O_WRONLY;
            break;
        case FileMode::WriteAlways:
            flags = O_WRONLY | O_CREAT;
            break;
        case FileMode::WriteNew:
            flags = O_WRONLY | O_CREAT | O_TRUNC;
            break;
    }
    int file = open(path, flags | O_CLOEXEC, 0644);
    if (file < 0) return NoFile;
    struct stat facts;
    if (fstat(file, &facts) != 0 || S_ISDIR(facts.st_mode)) {
        close(file);
        return NoFile;
    }
    return file;
}

void FileClose(FileHandle file) {
    if (file != NoFile) close(file);
}

int FileRead(FileHandle file, void* buffer, uint32_t count, uint32_t* done) {
    *done = 0;
    while (*done < count) {
        ssize_t got = read(file, static_cast<char*>(buffer) + *done, count - *done);
        if (got < 0) return 0;
        if (got == 0) break;
        *done += static_cast<uint32_t>(got);
    }
    return 1;
}

int FileWrite(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) {
    *done = 0;
    while (*done < count) {
        ssize_t put = write(file, static_cast<const char*>(buffer) + *done, count - *done);
        if (put <= 0) return 0;
        *done += static_cast<uint32_t>(put);
    }
    return 1;
}

uint32_t FileTell(FileHandle file) {
    off_t position = lseek(file, 0, SEEK_CUR);
    return position < 0 || position > 0xFFFFFFFE ? 0xFFFFFFFF : static_cast<uint32_t>(position);
}

int FileSeek(FileHandle file, uint32_t offset) { return lseek(file, offset, SEEK_SET) == off_t(offset); }

uint32_t FileSeekEnd(FileHandle file) {
    off_t end = lseek(file, 0, SEEK_END);
    return end < 0 || end > 0xFFFFFFFE ? 0xFFFFFFFF : static_cast<uint32_t>(end);
}
