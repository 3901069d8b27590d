// Writes seed inputs for the archive reader's fuzz target: real archives made by the writer, in the
// target's input form (three leading bytes that say whether and where to split into two volumes).
#include <stdio.h>

#include <filesystem>
#include <string>

#include "archive/archive_writer.h"
#include "tests/support/archive_fixture.h"

namespace {

void WriteSeed(const std::filesystem::path& folder, const char* name, const std::string& volume0,
               const std::string& volume1) {
    const std::string seed = {char(volume1.empty() ? 0 : 1), char(volume0.size() & 0xFF),
                              char(volume0.size() >> 8)};
    testsupport::SetFileBytes((folder / name).string(), seed + volume0 + volume1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: archive_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::vector<testsupport::Member> members = {
        {"KPII", "[General]\r\nTitle=Seed\r\nLanguage=1\r\n", 0x5A2E6B4Du, 0x00010002u, 0x00030004u},
        {"KPWB", ""},
        {"Src\\dir\\", ""},
        {"Src\\dir\\file.txt", testsupport::SampleText(700, 7)},
        {"Misc1", testsupport::SampleNoise(300, 8)},
    };
    testsupport::ScratchFolder scratch;
    const std::string single = scratch.Path("ONE.EXE"), split = scratch.Path("TWO.EXE");
    if (!testsupport::WriteArchive(single, 0, 0xFFFFFFFF, members)) return 1;
    const std::string whole = testsupport::FileBytes(single);
    // Two volumes, the boundary inside the members.
    if (!testsupport::WriteArchive(split, 0, static_cast<uint32_t>(whole.size() / 2 + 5), members)) return 1;
    WriteSeed(folder, "single-volume", whole, "");
    WriteSeed(folder, "two-volumes", testsupport::FileBytes(split),
              testsupport::FileBytes(scratch.Path("TWO.001")));
    WriteSeed(folder, "empty-archive", "", "");
    return 0;
}
