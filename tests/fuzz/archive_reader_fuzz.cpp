// Fuzz target for the archive reader: any bytes, as a package of one or two volume files or as an
// uninstall information file, must be read or refused without a crash, a leak or undefined behaviour.
#include <stdint.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "archive/uninstall_info_head.h"
#include "common/strings.h"
#ifdef KP_FUZZ_KELPACK
#include <sstream>

#include "tools/kelpack/commands.h"
#endif

namespace {

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    if (!std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size)) abort();
}

// Reads every member the way the module does (names, data in blocks or whole, CRC checks), then closes.
void ReadEverything(ArchiveReader* reader) {
    unsigned char block[4096];
    MemberInfo info;
    for (int member = 0; reader != nullptr && member < 64 && GetMemberInfoOf(reader, &info); ++member) {
        MemberNameIsOf(reader, "KPII");
        if (member % 2 == 0) {
            uint32_t size = 0;
            free(ReadMemberToMemoryOf(reader, member % 4 == 0 ? &size : nullptr));
        } else if (OpenMemberData(reader) == 0) {
            for (int round = 0; round < 64 && ReadMemberData(reader, block, sizeof block) > 0;) ++round;
            CloseMemberData(reader);
        }
        if (NextMember(reader) != 0) break;
    }
    CloseArchive(reader);
}

}  // namespace

// The first byte says how to take the rest. With bit 1 set, it is an uninstall information file, read as
// the uninstaller reads it and, where the packaging tool is built in, by its log command (bit 2: JSON).
// Else it is a package: with the low bit set, cut into volume 0 and volume 1 at the next two bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Volume 1 sits beside volume 0 under the name the reader derives; one name per process.
    static const std::string base =
        (std::filesystem::temp_directory_path() / ("kp-fuzz-" + std::to_string(std::random_device()())))
            .string();
    static const std::string volume0 = base + ".exe", volume1 = base + ".001", info = base + ".inf";
    if (size < 3) return 0;
    const uint8_t flags = data[0];
    const size_t at = flags & 1 ? (size_t(data[1]) | size_t(data[2]) << 8) : size;
    data += 3, size -= 3;
    if (flags & 2) {
        std::error_code ignored;  // a package's volume from an earlier input: none belongs here
        std::filesystem::remove(volume1, ignored);
        WriteFile(info, data, size);
        char title[PathBufferSize];
        int language = 0;
        if (ParseUninstallHead(data, uint32_t(size), title, &language) == UninstallHeadOk)
            ReadEverything(OpenArchive(info.c_str(), ArchiveFormat::UninstallArchiveOffset));
#ifdef KP_FUZZ_KELPACK
        std::ostringstream out, err;
        RunKelpack(flags & 4 ? CommandArgs{"log", info, "--json"} : CommandArgs{"log", info}, out, err);
#endif
        return 0;
    }
    const size_t first = at < size ? at : size;
    WriteFile(volume0, data, first);
    WriteFile(volume1, data + first, size - first);
    ReadEverything(OpenArchive(volume0.c_str(), 0));
    return 0;
}
