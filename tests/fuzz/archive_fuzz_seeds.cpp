// Seeds for the archive reader's fuzz target, made by the writer, in its input form (see the target).
#include <stdio.h>

#include "tests/support/archive_fixture.h"

using namespace testsupport;

int main(int argc, char** argv) {
    if (argc != 2) return fprintf(stderr, "usage: archive_fuzz_seeds FOLDER\n"), 2;
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    auto seed = [&](const char* name, const std::string& volume0, const std::string& volume1,
                    char flags = 0) {
        const char head[] = {char(flags | !volume1.empty()), char(volume0.size() & 0xFF),
                             char(volume0.size() >> 8)};
        SetFileBytes((folder / name).string(), std::string(head, 3) + volume0 + volume1);
    };
    const std::vector<Member> members = {
        {"KPII", "[General]\r\nTitle=Seed\r\nLanguage=1\r\n", 0x5A2E6B4Du, 0x00010002u, 0x00030004u},
        {"Src\\dir\\", ""},  // a folder, as an empty member
        {"Src\\dir\\file.txt", SampleText(700, 7)},
        {"Misc1", SampleNoise(300, 8)},
    };
    ScratchFolder scratch;
    const std::string single = scratch.Path("ONE.EXE"), split = scratch.Path("TWO.EXE");
    if (!WriteArchive(single, 0, 0xFFFFFFFF, members)) return 1;
    const std::string whole = FileBytes(single);
    if (!WriteArchive(split, 0, uint32_t(whole.size() / 2 + 5), members)) return 1;  // split mid-member
    seed("single-volume", whole, "");
    seed("two-volumes", FileBytes(split), FileBytes(scratch.Path("TWO.001")));

    // An uninstall information file (first byte: bit 1; a flip of bit 2 shows it as JSON).
    std::string fileList;  // each path a length byte, then the path
    for (const std::string path : {"C:\\Seed\\a.txt", "C:\\Seed\\b"}) fileList += char(path.size()) + path;
    const std::vector<Member> uninstall = {
        {"KPUI", "[General]\r\nTitle=Seed\r\n[Files]\r\nFile1=C:\\Seed\\a.txt\r\n"},
        {"KPFL", fileList},
        {"KPWB", "BM" + SampleNoise(200, 9)},
    };
    const std::string info = scratch.Path("KPU0001.inf");
    if (!WriteUninstallInfo(info, "Seed \xc7\xd1", 0, uninstall)) return 1;
    seed("uninstall-info", FileBytes(info), "", 2);
    return 0;
}
