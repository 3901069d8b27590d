// Path dissection and joining on 8-bit paths in PathBufferSize buffers.
// A drive path has a colon as its second character; a network path begins with two backslashes
// (server, backslash, share follow). In-place routines take a PathBufferSize buffer.
#pragma once

#include <stddef.h>

// 1 when the path, after leading blanks, has a colon as its second character or begins with two
// backslashes; else 0 (also for null).
int IsAbsolutePath(const char* path);

// In place: trims, then appends a backslash unless the path is empty or already ends with one.
void AppendBackslash(char* path);

// In place: trims, then removes one trailing backslash, except from a drive root ("C:\") and from a
// text of one or two characters that begins with a backslash.
void StripTrailingBackslash(char* path);

// In place: a path whose second character is a colon and whose third is not a backslash gets one after
// the colon ("C:" becomes "C:\", "C:x" becomes "C:\x").
void FixDriveRoot(char* path);

// FixDriveRoot on a path that may start inside a larger buffer: size is what is left of the buffer from
// path on. Without room for the backslash the path is left as it is.
void FixDriveRootBounded(size_t size, char* path);

// The drive of a trimmed path: "C:" for a drive path, "\\server\share" for a network path, empty for a
// relative path or a network path without a share. Own buffer until the next call.
const char* DriveOf(const char* path);

// The folder part without a trailing backslash, except a drive root: "C:\f" gives "C:\",
// "\\server\share\f" gives "\\server\share", "C:\a\f" gives "C:\a"; a name without a backslash is
// returned trimmed. Own buffer until the next call.
const char* FolderOf(const char* path);

// The part after the last backslash, after the normalisation of FolderOf (so "\\server\share" and "C:"
// have an empty file name); the trimmed text when it has no backslash. Own buffer until the next call.
const char* FileNameOf(const char* path);

// The extension, dot included, of the trimmed path: from its last dot when that dot stands after the last
// colon and the last backslash; otherwise empty. Own buffer until the next call.
// On POSIX a slash counts as a backslash here, so that names of files on the host work too.
const char* ExtensionOf(const char* path);

// In place: trims, then replaces the extension (as ExtensionOf finds it) with extension, bounded to the
// buffer. A path without an extension is left as it is.
void ReplaceExtension(char* path, const char* extension);

// folder, a backslash, and relative without its leading backslashes, bounded to PathBufferSize.
// A blank relative gives the folder alone, an empty folder the relative part alone.
// Own buffer until the next call; the arguments may be results of an earlier call.
const char* JoinPath(const char* folder, const char* relative);

// 1 when a source-folder member's name is "Src\" and a relative path that names a file or folder inside
// the install folder, and nothing else: not empty, no drive, stream or leading backslash, no control
// character (the system trims some, so "\t.." is ".."), no wildcard, no empty component but the last
// (a folder member ends with a backslash), no component of dots and blanks alone (the system drops
// trailing dots and blanks, so ". ." is ".."), and no device name such as CON or COM1, with or without
// an extension (a write to a device can block for ever).
int IsSafeSourceMemberName(const char* name);
