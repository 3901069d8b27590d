// The package file format, shared by the module and the packaging tool.
//
//   package file (volume 0)                          further volumes (NAME.001, NAME.002, ...)
//   +------------------------------+                 +------------------------------+
//   | module image, zero-padded    |  ModuleSize     | the archive continues at any |
//   | to ModuleSize bytes          |  bytes          | byte, headers included       |
//   +------------------------------+                 +------------------------------+
//   | archive header "KPAH"        |  17 bytes
//   +------------------------------+
//   | member "KPFH" header         |  29 bytes
//   | member name                  |  1..255 bytes, no terminator
//   | raw deflate data             |  compressed size bytes
//   +------------------------------+
//   | next member ...              |
//
// Every volume but the last holds exactly the header's volume size in bytes, counted from the start
// of that file (volume 0 counts the bytes before the archive too). Integers are unsigned,
// little-endian and unaligned; tags are four ASCII characters in file order. The uninstall
// information file carries the same archive behind a head of its own.
//
// Members of a package, in this order: KPII (install information), KPWB (wizard bitmap), KPLI
// (license, when [Info] LicenseInfo is set), KPPI (information, when [Info] PreInfo is set), then
// "Src\<path>" for the files of the install folder ("Src\<path>\" for a folder), then Misc1, Misc2...
#pragma once

#include <stdint.h>

// Size of the module image. A package's archive starts at this offset, the module copy is this many bytes
// of the package, and a file of exactly this size is the bare module. (Read by the build, keep the form.)
constexpr unsigned long ModuleSize = 262144;

namespace ArchiveFormat {

// Tags as they read when their four bytes are taken as a little-endian u32.
constexpr uint32_t Tag(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 | uint32_t(uint8_t(text[2])) << 16 |
           uint32_t(uint8_t(text[3])) << 24;
}
constexpr uint32_t ArchiveTag = Tag("KPAH");
constexpr uint32_t MemberTag = Tag("KPFH");

// Archive header fields (offsets from the archive's start).
constexpr uint32_t HeaderTagOffset = 0;
constexpr uint32_t HeaderTotalSizeOffset = 4;     // u32: whole logical file, from volume 0's first byte
constexpr uint32_t HeaderVolumeSizeOffset = 8;    // u32: bytes in every volume but the last
constexpr uint32_t HeaderVolumeCountOffset = 12;  // u8: 1 to 255
constexpr uint32_t HeaderMemberCountOffset = 13;  // u32
constexpr uint32_t HeaderSize = 17;

// Member header fields (offsets from the member's start).
constexpr uint32_t MemberTagOffset = 0;
constexpr uint32_t MemberSizeOffset = 4;          // u32: uncompressed size
constexpr uint32_t MemberPackedSizeOffset = 8;    // u32: compressed size, the bytes after the name
constexpr uint32_t MemberCrcOffset = 12;          // u32: CRC-32 of the uncompressed data (zlib's crc32)
constexpr uint32_t MemberTimeOffset = 16;         // u32: DOS date (high 16 bits) and time (low), local time
constexpr uint32_t MemberVersionHighOffset = 20;  // u32: major << 16 | minor
constexpr uint32_t MemberVersionLowOffset = 24;   // u32: build << 16 | revision
constexpr uint32_t MemberNameLengthOffset = 28;   // u8
constexpr uint32_t MemberHeaderSize = 29;         // the name follows
constexpr uint32_t MaxNameLength = 255;

constexpr uint32_t NotSplit = 0xFFFFFFFF;   // volume size of an archive in one file
constexpr uint32_t NoVersion = 0xFFFFFFFF;  // both version fields of a member without a version
constexpr unsigned MaxVolumes = 255;

// Volume k >= 1 is the path of volume 0 with its extension replaced by "." and k in three decimal digits
// (".001", ".002", ...); see VolumePath.

// Fixed member names.
constexpr const char* InstallInfoMember = "KPII";
constexpr const char* WizardBitmapMember = "KPWB";
constexpr const char* LicenseMember = "KPLI";
constexpr const char* InfoMember = "KPPI";
constexpr const char* SourcePrefix = "Src\\";
constexpr const char* MiscMemberFormat = "Misc%d";

// The uninstall information file, written at the end of an installation into the install folder
// ("KPU????.inf", read-only and hidden) and read by the uninstaller:
//
//   +------------------------------+
//   | signature "KPUI0207" and NUL |  9 bytes
//   | title, NUL-terminated,       |  260 bytes, zero after the terminator
//   | language (0 Korean, else     |  1 byte
//   |   English)                   |
//   +------------------------------+
//   | archive as above, starting   |  volume size NotSplit, one volume, total size = the file's
//   | at offset 270                |  length; members KPUI, KPFL and, when there is one, KPWB
//   +------------------------------+
//
// KPUI is the installation log (an INI file), KPFL the file list (each path a length byte, then at most
// 255 bytes of it), KPWB the wizard bitmap. Their DOS times are 0 and their version fields mean nothing.
constexpr char UninstallSignature[9] = {'K', 'P', 'U', 'I', '0', '2', '0', '7', 0};
constexpr uint32_t UninstallSignatureSize = 9;
constexpr uint32_t UninstallTitleOffset = 9;
constexpr uint32_t UninstallTitleSize = 260;
constexpr uint32_t UninstallLanguageOffset = 269;
constexpr uint32_t UninstallArchiveOffset = 270;
constexpr const char* UninstallLogMember = "KPUI";
constexpr const char* UninstallFileListMember = "KPFL";

}  // namespace ArchiveFormat

// Little-endian fields in memory.
inline uint32_t GetU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutU32(unsigned char* p, uint32_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

// The path of volume `volume` of the archive whose volume 0 is basePath, into out (260 bytes).
// Volume 0 is basePath itself (trimmed).
void VolumePath(const char* basePath, unsigned volume, char* out);
