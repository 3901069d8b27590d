// kelpack on uninstall information files as the module writes them: log, list, verify, extract; damage.
#include "tests/support/kelpack_fixture.h"

using testsupport::Member;

namespace {

// The file list as the module stores it: each path a length byte, then the path.
std::string FileList(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const std::string& path : paths) bytes += char(path.size()) + path;
    return bytes;
}

const std::string KoreanTitle = "Hello \xc7\xd1\xb1\xdb";  // code page 949
const std::string Log =
    "[General]\r\nTitle=Hello\r\nInstallDir=C:\\Program Files\\Hello\r\n"
    "; written by the installation\r\n[Shortcut]\r\nShortcut1=Hello,C:\\Program Files\\Hello\\hello.bat\r\n";
const std::vector<std::string> Paths = {"C:\\Program Files\\Hello\\hello.bat",
                                        "C:\\Program Files\\Hello\\docs\\\xb5\xb5\xbf\xf2.txt",
                                        "C:\\Program Files\\Hello\\red\x1b[31m.txt", std::string(255, 'p')};

class UninstallInfoTest : public KelpackTest {
  protected:
    void SetUp() override { image_ = WriteInfo("KPU0001.inf", Members(bitmap_)); }

    // The log, the file list, then the bitmap (if any) and the others.
    std::vector<Member> Members(const std::string& bitmap, const std::vector<Member>& others = {}) const {
        std::vector<Member> members = {{"KPUI", Log}, {"KPFL", FileList(Paths)}};
        if (!bitmap.empty()) members.push_back({"KPWB", bitmap});
        members.insert(members.end(), others.begin(), others.end());
        return members;
    }
    // Writes the file, returns its bytes.
    std::string WriteInfo(const std::string& name, const std::vector<Member>& members, int language = 0,
                          const std::string& title = KoreanTitle) {
        EXPECT_TRUE(testsupport::WriteUninstallInfo(At(name), title.c_str(), language, members));
        return Read(Path(name));
    }
    // A failure with a message and nothing on stdout.
    void ExpectRefused(int code, const std::string& what) {
        EXPECT_EQ(code, 1) << what;
        EXPECT_EQ(out, "") << what;
        EXPECT_NE(err.find("kelpack: error: "), std::string::npos) << what << ": " << err;
    }

    const std::string bitmap_ = "BM" + testsupport::SampleNoise(3000, 4);
    std::string image_;
};

TEST_F(UninstallInfoTest, JsonIsOneAsciiDocument) {
    WriteInfo("small.inf", {{"KPUI", "[A]\r\nk=\"v\\w\"\r\n"}, {"KPFL", FileList({"C:\\\xc7\xd1\x01", ""})}},
              1, "T\"x");
    ASSERT_EQ(Run({"log", At("small.inf"), "--json"}), 0) << err;
    EXPECT_EQ(out,
              "{\"signature\": \"KPUI0207\", \"title\": \"T\\\"x\", \"language\": \"English\",\n"
              " \"wizardBitmap\": null,\n"
              " \"log\": [\n  {\"name\": \"A\", \"entries\": [{\"key\": \"k\", \"value\": \"v\\\\w\"}]}],\n"
              " \"files\": [\n  \"C:\\\\\\u00c7\\u00d1\\u0001\",\n  \"\"]}\n");
    EXPECT_EQ(err, "") << "no bitmap is no fault";
    EXPECT_EQ(Run({"verify", At("small.inf")}), 0) << err;
}

// Cut anywhere, the file is refused by every reader, never half shown; so are a foreign and a missing one.
TEST_F(UninstallInfoTest, CutAndForeignFilesAreRefused) {
    const size_t archive = ArchiveFormat::UninstallArchiveOffset,
                 header = archive + ArchiveFormat::HeaderSize;
    // Inside the head; the head alone; in the archive header; in a member header; the last byte.
    for (size_t cut : {size_t(0), archive - 1, archive, archive + 10, header + 20, image_.size() - 1}) {
        const std::string what = "cut at " + std::to_string(cut);
        Write("cut.inf", image_.substr(0, cut));
        ExpectRefused(Run({"log", At("cut.inf")}), what);
        EXPECT_EQ(Run({"verify", At("cut.inf")}), 1) << what;
        EXPECT_EQ(Extract(At("cut.inf"), "x", true), 1) << what;
        Run({"list", At("cut.inf")});  // member headers may all be there: only no crash
    }
    Write("other.inf", "KPUI0206" + image_.substr(8));
    ExpectRefused(Run({"log", At("other.inf")}), "foreign signature");
    EXPECT_NE(err.find("not an uninstall information file"), std::string::npos) << err;
    ExpectRefused(Run({"log", At("missing.inf")}), "missing file");
}

// Faults in the log, file list or member order fail log and verify. A damaged bitmap (the uninstaller does
// without it), members after it and bytes after the archive fail verify; log warns and shows the rest.
TEST_F(UninstallInfoTest, DamageIsReportedByWhatItCosts) {
    const std::string text = testsupport::SampleText(5000, 3);  // compressed: damage upsets inflate
    const size_t logData = ArchiveFormat::UninstallArchiveOffset + ArchiveFormat::HeaderSize +
                           ArchiveFormat::MemberHeaderSize + 4 + 50;  // behind the first member's name
    const struct {
        std::vector<Member> members;
        std::string damage;  // "log" or "bitmap" data, the "bitmap header", a "tail" after the archive
        std::string message;
        std::string shown;  // the bitmap line of log, empty when log refuses the file
    } cases[] = {
        {Members(bitmap_), "bitmap", "wizard bitmap (KPWB) does not match", "3,002 bytes, damaged"},
        {Members(bitmap_), "bitmap header", "member 3 has no readable header", "damaged"},
        {Members("BM", {{"Misc1", "x"}}), "", "member 'Misc1' does not belong", "2 bytes"},
        {Members(bitmap_), "tail", "4 bytes after the archive", "3,002 bytes"},
        {{{"KPUI", text}, {"KPFL", FileList(Paths)}}, "log", "installation log (KPUI)", ""},
        {{{"KPUI", Log}}, "", "no file list (KPFL)", ""},
        {{{"KPFL", FileList(Paths)}, {"KPUI", Log}}, "", "member 1 is 'KPFL'", ""},
        {{{"KPUI", Log}, {"KPFL", FileList({"a"}) + "\x05" + "abc"}}, "", "ends inside path 2", ""},
    };
    for (const auto& c : cases) {
        std::string image = WriteInfo("bad.inf", c.members);
        if (c.damage == "bitmap") image[image.size() - 100] ^= 0x55;
        if (c.damage == "bitmap header") image[image.rfind("KPFH")] ^= 0x55;
        if (c.damage == "log") image[logData] ^= 0x55;
        if (c.damage == "tail") image += "tail";
        Write("bad.inf", image);

        const int code = Run({"log", At("bad.inf")});
        EXPECT_NE(err.find(c.message), std::string::npos) << c.message << ": " << err;
        if (c.shown.empty()) {
            ExpectRefused(code, c.message);
        } else {
            EXPECT_EQ(code, 0) << c.message;
            EXPECT_NE(err.find("kelpack: warning: "), std::string::npos) << c.message;
            for (const std::string& part :
                 {"Title: " + KoreanTitle + "\nLanguage: Korean\nWizard bitmap: " + c.shown + "\n",
                  std::string("  [General]\n    Title = Hello\n    InstallDir = C:\\Program Files\\Hello\n"),
                  "File list: 4 paths\n  " + Paths[0] + "\n  " + Paths[1] +
                      "\n  C:\\Program Files\\Hello\\red\\x1b[31m.txt\n  " + Paths[3] + "\n"})
                EXPECT_NE(out.find(part), std::string::npos) << c.message << ": " << part << "\nin:\n" << out;
            EXPECT_EQ(out.find('\x1b'), std::string::npos) << c.message;
        }
        EXPECT_EQ(Run({"verify", At("bad.inf")}), 1) << c.message;
        EXPECT_NE(out.find("DAMAGED"), std::string::npos) << c.message;
    }
}

}  // namespace
