// kelpack build, list, extract, verify; split and damaged packages; packages and folders that mislead.
#include "tests/support/kelpack_fixture.h"
#include "tools/kelpack/dos_time.h"
#include "tools/kelpack/package_writer.h"
#include "tools/kelpack/tool_error.h"

namespace fs = std::filesystem;

namespace {

class PackageTest : public KelpackTest {
  protected:
    void SetUp() override {
        Write(
            "setup.ini",
            "[General]\nSpaceNeeded=1000000\n[Info]\nPreInfo=1\n[MiscFile]\nMiscFile1={WinSysDir}\\v.dll\n");
        Write("wizard.bmp", "BM" + std::string(3000, 'w'));
        Write("readme.txt", "read me");
        Write("app/top.txt", "top");
        Write("app/nested/deeper/leaf.txt", std::string(100000, 'L'));
        fs::create_directories(Path("app/nested/empty"));
        Write("p.kpp",
              "[Package]\nInstallInfo=setup.ini\nWizardBitmap=wizard.bmp\nInformation=readme.txt\n"
              "Source=app\n[MiscFiles]\n1=" +
                  std::string(KP_VERSIONED_DLL) + "\n");
        for (const char* file : {"app/top.txt", "app/nested/deeper/leaf.txt"})
            SetFileModificationTime(At(file), 1700000000);
        Write("module.exe", ModuleBytes());
    }

    int Build(const std::string& output, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args{"build",    At("p.kpp"),      "-o",     At(output),
                                      "--module", At("module.exe"), "--quiet"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }
};

TEST_F(PackageTest, BuildListAndExtract) {
    ASSERT_EQ(Build("out/SETUP.EXE"), 0) << err;
    const std::string package = At("out/SETUP.EXE");
    ASSERT_EQ(Run({"list", package}), 0) << err;
    EXPECT_EQ(out.find("KPLI"), std::string::npos);  // no LicenseInfo, no license member

    ASSERT_EQ(Extract(package), 0) << err;
    EXPECT_EQ(Read(Path("x/Src/nested/deeper/leaf.txt")), std::string(100000, 'L'));
    EXPECT_EQ(Read(Path("x/Misc1")), Read(KP_VERSIONED_DLL));
    EXPECT_EQ(Read(Path("x/KPPI")), "read me");
    EXPECT_TRUE(fs::is_directory(Path("x/Src/nested/empty")));
    EXPECT_EQ(FileModificationTime(At("x/Src/top.txt")), 1700000000);
}

TEST_F(PackageTest, SplitPackageVolumesAndTheirLoss) {
    Write("app/big.bin", testsupport::SampleNoise(3 << 20, 1));  // fills three diskettes
    Write("split/SETUP.009", "stale");                           // of an earlier, longer build: must go
    ASSERT_EQ(Build("split/SETUP.EXE", {"--volume-size", "1.44M"}), 0) << err;
    for (const char* volume : {"EXE", "001"}) EXPECT_EQ(fs::file_size(At("split/SETUP.") + volume), 1457664u);
    EXPECT_TRUE(fs::exists(Path("split/SETUP.002")));
    for (const char* volume : {"003", "009"}) EXPECT_FALSE(fs::exists(At("split/SETUP.") + volume));

    // A missing volume is named, and the package counts as damaged.
    fs::rename(Path("split/SETUP.001"), Path("aside"));
    EXPECT_EQ(Run({"verify", At("split/SETUP.EXE")}), 1);
    EXPECT_NE(err.find("SETUP.001"), std::string::npos) << err;
}

TEST_F(PackageTest, RefusesBadSettingsAndLeavesNothingBehind) {
    EXPECT_EQ(Build("o/SETUP.EXE", {"--volume-size", std::to_string(ModuleSize + ArchiveFormat::HeaderSize)}),
              1);
    EXPECT_NE(err.find("too small"), std::string::npos) << err;
    setenv("SOURCE_DATE_EPOCH", "17e8", 1);
    EXPECT_EQ(Build("o/SETUP.EXE"), 1);
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_NE(err.find("SOURCE_DATE_EPOCH"), std::string::npos) << err;
    Write("short.exe", "MZ");
    EXPECT_EQ(Run({"build", At("p.kpp"), "-o", At("o/SETUP.EXE"), "--module", At("short.exe")}), 1);
    EXPECT_FALSE(fs::exists(Path("o/SETUP.EXE")));

    // A source file that vanishes after planning fails the write, which removes every volume.
    PackagePlan plan;
    plan.members.push_back({"KPII", Path("setup.ini"), fs::file_size(Path("setup.ini"))});
    plan.members.push_back({"Src\\gone", Path("gone.txt"), 5});
    Progress quiet(std::cerr, Progress::Quiet, 0);
    WriteSettings settings{Path("o/SETUP.EXE"), Path("module.exe"), uint32_t(ModuleSize + 40)};
    EXPECT_THROW(WritePackage(plan, settings, quiet), ToolError);
    for (const char* volume : {"EXE", "001"}) EXPECT_FALSE(fs::exists(At("o/SETUP.") + volume));
}

// Damage fails verify and extract. Bytes after the archive (a signature appends its certificate table
// there) leave the package good, and verify and list count them; signed_package tests the signature.
TEST_F(PackageTest, VerifyTellsDamageFromBytesAfterTheArchive) {
    ASSERT_EQ(Build("SETUP.EXE"), 0) << err;
    const std::string image = Read(Path("SETUP.EXE"));
    std::string flipped = image;
    flipped[image.size() - 20] ^= 0x55;  // inside the last member's data
    for (const std::string& damaged : {flipped, image.substr(0, image.size() - 1)}) {
        Write("bad.exe", damaged);
        EXPECT_EQ(Run({"verify", At("bad.exe")}), 1);
        EXPECT_NE(out.find("DAMAGED"), std::string::npos) << out;
        EXPECT_EQ(Extract(At("bad.exe"), "x", true), 1);
    }
    EXPECT_EQ(Run({"verify", At("nothing.exe")}), 1);
    EXPECT_EQ(Run({"verify"}), 2);

    Write("SETUP.EXE", image + "12345");
    for (const char* command : {"verify", "list"}) {
        EXPECT_EQ(Run({command, At("SETUP.EXE")}), 0) << err;
        EXPECT_NE(out.find("followed by 5 bytes that are not part of the archive"), std::string::npos) << out;
    }
    EXPECT_EQ(Run({"list", "--json", At("SETUP.EXE")}), 0) << err;
    EXPECT_NE(out.find("\"trailingBytes\": 5, \"signed\": false"), std::string::npos) << out;
}

// Packages written by hand, past the checks of the build.
using ExtractTest = KelpackTest;

// A name that leaves the target folder refuses the whole package (which names do: MemberPathsTest).
TEST_F(ExtractTest, EscapingNamesAreRefused) {
    EXPECT_EQ(Extract(Package({"KPII", "Src\\..\\..\\evil.txt"}), "x/y"), 1);
    EXPECT_NE(err.find("refused"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Path("x/y/KPII")));
    // Listed, names lose their control characters.
    ASSERT_EQ(Run({"list", Package({"KPII", "Src\\red\x1b[31m.txt"})}), 0) << err;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_NE(out.find("Src\\red\\x1b[31m.txt"), std::string::npos) << out;
}

// An existing file is replaced only with --force, and never through a link below the folder.
TEST_F(ExtractTest, ExistingFilesAndLinksInTheFolder) {
    const std::string package = Package({"KPII", "Src\\a.txt"});
    Write("x/Src/a.txt", "mine");
    EXPECT_EQ(Extract(package), 1);
    EXPECT_NE(err.find("exists already"), std::string::npos) << err;
    EXPECT_EQ(Read(Path("x/Src/a.txt")), "mine");
    EXPECT_FALSE(fs::exists(Path("x/KPII"))) << "refused before anything is written";
    EXPECT_EQ(Extract(package, "x", true), 0) << err;
    EXPECT_EQ(Read(Path("x/Src/a.txt")), "Src\\a.txt");

    const fs::path outside = Write("outside/file", "theirs");
    for (const char* link : {"Src", "KPII"}) {  // a link to a folder, a link to a file
        fs::remove_all(Path("x"));
        fs::create_directories(Path("x"));
        fs::create_symlink(*link == 'S' ? outside.parent_path() : outside, Path("x") / link);
        EXPECT_EQ(Extract(package, "x", true), 1) << link;
        EXPECT_NE(err.find("symbolic link"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(Path("outside/a.txt"))) << link;
        EXPECT_EQ(Read(outside), "theirs") << link;
    }
}

}  // namespace
