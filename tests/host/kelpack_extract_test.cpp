// The packaging tool's extract and list against a folder and names that try to mislead them: links
// planted below the folder, files that exist already, names that carry terminal escape codes.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_writer.h"
#include "archive/format.h"
#include "tests/support/kelpack_fixture.h"

namespace fs = std::filesystem;

namespace {

class ExtractTest : public KelpackTest {
  protected:
    // A package of the members, each holding its own name as data.
    std::string Package(const std::vector<std::string>& names) {
        const fs::path package = Module();
        ArchiveWriter* writer = CreateArchive(package.string().c_str(), ModuleSize, ArchiveFormat::NotSplit);
        EXPECT_NE(writer, nullptr);
        for (const std::string& name : names) {
            EXPECT_EQ(BeginMember(writer, name.c_str(), 0, 0xFFFFFFFF, 0xFFFFFFFF), 0);
            EXPECT_EQ(WriteMemberData(writer, name.data(), static_cast<uint32_t>(name.size())), 0);
            EXPECT_EQ(EndMember(writer), 0);
        }
        EXPECT_EQ(FinishArchive(writer), 0);
        return package.string();
    }
    int Extract(const std::string& package, bool force = false) {
        std::vector<std::string> args{"extract", package, "-C", Path("x").string()};
        if (force) args.push_back("--force");
        return Run(args);
    }
};

TEST_F(ExtractTest, AnExistingFileIsReplacedOnlyWithForce) {
    const std::string package = Package({"KPII", "Src\\a.txt"});
    Write("x/Src/a.txt", "mine");
    EXPECT_EQ(Extract(package), 1);
    EXPECT_NE(err.find("exists already"), std::string::npos) << err;
    EXPECT_EQ(Read(Path("x/Src/a.txt")), "mine");
    EXPECT_FALSE(fs::exists(Path("x/KPII"))) << "refused before anything is written";

    EXPECT_EQ(Extract(package, true), 0) << err;
    EXPECT_EQ(Read(Path("x/Src/a.txt")), "Src\\a.txt");
}

TEST_F(ExtractTest, NothingIsWrittenThroughALinkBelowTheFolder) {
    const std::string package = Package({"KPII", "Src\\a.txt"});
    struct Planted {
        const char* link;  // below x/
        bool toFolder;
    };
    for (const Planted& planted : {Planted{"Src", true}, Planted{"KPII", false}}) {
        fs::remove_all(Path("x"));
        fs::remove_all(Path("outside"));
        fs::create_directories(Path("x"));
        const fs::path outside = planted.toFolder ? Path("outside") : Write("outside/file", "theirs");
        if (planted.toFolder) fs::create_directories(outside);
        fs::create_symlink(outside, Path("x") / planted.link);
        EXPECT_EQ(Extract(package, true), 1) << planted.link;
        EXPECT_NE(err.find("symbolic link"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(Path("outside/a.txt"))) << planted.link;
        if (!planted.toFolder) {
            EXPECT_EQ(Read(outside), "theirs");
        }
    }
}

TEST_F(ExtractTest, NamesAreShownWithoutTheirControlCharacters) {
    const std::string package = Package({"KPII", "Src\\red\x1b[31m.txt"});
    ASSERT_EQ(Run({"list", package}), 0) << err;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_NE(out.find("Src\\red\\x1b[31m.txt"), std::string::npos) << out;
}

}  // namespace
