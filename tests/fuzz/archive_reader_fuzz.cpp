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

// Reads every member the way the module does: names, data in blocks or whole, CRC checks.
void ReadEverything(ArchiveReader* reader) {
    unsigned char block[4096];
    for (int member = 0; member < 64; ++member) {
        MemberInfo info;
        if (!GetMemberInfoOf(reader, &info)) return;
        MemberNameIsOf(reader, "KPII");
        if (member % 2 == 0) {
            uint32_t size = 0;
            free(ReadMemberToMemoryOf(reader, member % 4 == 0 ? &size : nullptr));
        } else if (OpenMemberData(reader) == 0) {
            for (int round = 0; round < 64 && ReadMemberData(reader, block, sizeof block) > 0;) ++round;
            CloseMemberData(reader);
        }
        if (NextMember(reader) != 0) return;
    }
}

// As the uninstaller reads it: the head, then the archive behind it; where the packaging tool is built
// in, also as its log command reads it (text or JSON, by the flag).
void ReadUninstallInfo(const std::string& path, const uint8_t* data, size_t size, bool json) {
    char title[PathBufferSize];
    int language = 0;
    if (ParseUninstallHead(data, uint32_t(size), title, &language) == UninstallHeadOk) {
        ArchiveReader* reader = OpenArchive(path.c_str(), ArchiveFormat::UninstallArchiveOffset);
        if (reader != nullptr) ReadEverything(reader);
        CloseArchive(reader);
    }
#ifdef KP_FUZZ_KELPACK
    std::ostringstream out, err;
    RunKelpack(json ? CommandArgs{"log", path, "--json"} : CommandArgs{"log", path}, out, err);
#else
    (void)json;
#endif
}

}  // namespace

// The first byte says how to take the rest. With bit 1 set, it is an uninstall information file (bit 2:
// shown as JSON). Else it is a package: with the low bit set, cut into volume 0 and volume 1 at a
// position taken from the next two bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Volume 1 sits beside volume 0 under the name the reader derives; one name per process.
    static const std::string base =
        (std::filesystem::temp_directory_path() / ("kp-fuzz-" + std::to_string(std::random_device()())))
            .string();
    static const std::string volume0 = base + ".exe", volume1 = base + ".001", info = base + ".inf";
    if (size < 3) return 0;
    if (data[0] & 2) {
        const bool json = data[0] & 4;
        std::error_code ignored;  // a package's volume from an earlier input: none belongs here
        std::filesystem::remove(volume1, ignored);
        WriteFile(info, data + 3, size - 3);
        ReadUninstallInfo(info, data + 3, size - 3, json);
        return 0;
    }
    const size_t at = data[0] & 1 ? (size_t(data[1]) | size_t(data[2]) << 8) : size;
    data += 3, size -= 3;
    const size_t first = at < size ? at : size;
    WriteFile(volume0, data, first);
    WriteFile(volume1, data + first, size - first);

    ArchiveReader* reader = OpenArchive(volume0.c_str(), 0);
    if (reader != nullptr) ReadEverything(reader);
    CloseArchive(reader);
    return 0;
}
