// kelpack check: mistakes the module would pass over in silence; the known keys against module and docs.
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "tests/support/kelpack_fixture.h"
#include "tools/kelpack/install_info_check.h"

namespace {

class CheckTest : public KelpackTest {
  protected:
    // Checks a project whose install information is info; the exit code.
    int Check(const std::string& info, const std::vector<std::string>& options = {}) {
        Write("setup.ini", info);
        Write("wizard.bmp", "BM");
        Write("app/a.txt", "a");
        Write("p.kpp", "[Package]\nInstallInfo=setup.ini\nWizardBitmap=wizard.bmp\nSource=app\n");
        std::vector<std::string> args{"check", At("p.kpp")};
        args.insert(args.end(), options.begin(), options.end());
        return Run(args);
    }
};

const std::string Good = "[General]\nTitle=T\nDefInstallFolder={ProgramFiles}\\T\nSpaceNeeded=100\n";

// Each warning names its file, line and key; warnings leave the exit code alone unless --strict.
TEST_F(CheckTest, EachMistakeIsNamedWithItsLineAndKey) {
    const struct {
        std::string info;
        std::string expected;  // in a diagnostic; ":line: ..." follows "setup.ini"
    } cases[] = {
        {Good + "DefInstalFolder=x\n",
         ":5: [General] DefInstalFolder: warning: the module reads no such key in "
         "[General], did you mean DefInstallFolder?"},
        {Good + "[Shortcut]\nShortcut1=a\nShortcut3=c\n",
         ":7: [Shortcut] Shortcut3: warning: never read: the module "
         "stops at the first missing number, Shortcut2"},
        {Good + "[Registy]\nRegistry1=x\n",
         ":5: [Registy]: warning: the module reads no such section, did you mean Registry?"},
        {Good + "[Run]\nRunAppPath={ProgramFile}\\a.exe\n",
         ":6: [Run] RunAppPath: warning: {ProgramFile} is no path "
         "variable and stays as it is, did you mean {ProgramFiles}?"},
        {Good + "[Registry]\nRegistry1=0,0,4,SOFTWARE\\K,V,1,x\n",
         ":6: [Registry] Registry1: warning: root '4' is none "
         "of 0 (HKEY_CLASSES_ROOT) to 3 (HKEY_USERS): the item fails"},
        {Good + "[Registry]\nRegistry1=0,0,2,SOFTWARE\\K,V,2,3000000000\n",
         "'3000000000' is no number a DWORD holds"},
        {Good + "[Registry]\nRegistry1=0,0,2,,V,1,x\n",
         "[Registry] Registry1: warning: the key field is empty"},
        {Good + "[Shortcut]\nShortcut01=a\n",
         ":6: [Shortcut] Shortcut01: warning: the module reads no such key in "
         "[Shortcut], did you mean Shortcut1?"},
        // What the install folder and the uninstall entry need.
        {"[General]\nTitle=T\n", "[General] DefInstallFolder: warning: missing"},
        {"[General]\nTitle=T\nDefInstallFolder=Programs\\T\n", "'Programs\\T' is relative"},
        {"[General]\nTitle=T\nDefInstallFolder={Reg:2,SOFTWARE\\S,Path}T;Apps\\T\n", "'Apps\\T' is relative"},
        {"[General]\nDefInstallFolder=C:\\T\n[Uninstall]\nCPLUninstallName=T\n",
         "[Uninstall] CPLUninstallName: warning: an uninstall entry needs [General] Title"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Check(c.info), 0) << c.info << err;  // warnings only
        EXPECT_NE(err.find((c.expected[0] == ':' ? "setup.ini" : "") + c.expected), std::string::npos)
            << c.info << err;
    }
    EXPECT_EQ(Check(Good + "[General]\nDefInstalFolder=x\n", {"--strict"}), 1);
    EXPECT_EQ(Check(Good + "[Registy]\n", {"--json"}), 0);
    EXPECT_NE(err.find("{\"file\": \"" + At("setup.ini") +
                       "\", \"line\": 5, \"key\": \"[Registy]\", \"severity\": \"warning\""),
              std::string::npos)
        << err;

    // Edge values the module takes: no warning (the example's entries: kelpack_check_examples).
    const std::string registry =
        "[Registry]\nRegistry1=1,0,2,SOFTWARE\\K,D,2,0xFFFFFFFF\nRegistry2=0,1,1,SOFTWARE\\K,N,2,"
        "-2147483648\nRegistry3=0,0,2,SOFTWARE\\K,B,3,01 02,ff;10\nRegistry4=0,0,3,.DEFAULT\\K,,,\n";
    EXPECT_EQ(Check(Good + registry, {"--strict"}), 0) << err;
    EXPECT_NE(out.find("no problems"), std::string::npos);
}

// Every key the module reads from the install information by its literal name is known to the check,
// and every known key is named in the module's sources: the table cannot drift from the module.
TEST(InstallInfoKeys, TheTableIsWhatTheModuleReads) {
    std::string code;
    for (const char* folder : {"common", "archive", "script", "items", "files", "ui", "uninstall", "startup"})
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(KP_SOURCE_DIR) + "/" + folder))
            if (entry.path().extension() == ".cpp") {
                std::ifstream in(entry.path());
                code += std::string(std::istreambuf_iterator<char>(in), {});
            }
    std::set<std::string> known;
    for (const auto& [section, keys] : KnownInstallInfoKeys())
        for (const std::string& key : keys) known.insert(section + " " + key);

    const std::regex direct(
        R"re((?:Read(?:Bool|Int)?Setting|SettingExists)\("(\w+)", "(\w+)"[^;]*InstallInfoFile)re");
    const std::regex numbered(R"re(ForEachNumberedSetting\("(\w+)", "(\w+)"[^;]*InstallInfoFile)re");
    int reads = 0;
    for (std::sregex_iterator at(code.begin(), code.end(), direct), end; at != end; ++at, ++reads)
        EXPECT_TRUE(known.contains((*at)[1].str() + " " + (*at)[2].str())) << at->str();
    for (std::sregex_iterator at(code.begin(), code.end(), numbered), end; at != end; ++at, ++reads)
        EXPECT_TRUE(known.contains((*at)[1].str() + " " + (*at)[2].str() + "N")) << at->str();
    EXPECT_GT(reads, 20) << "the reads are no longer found in the sources";

    for (const std::string& entry : known) {
        std::string key = entry.substr(entry.find(' ') + 1);
        if (key.back() == 'N') key.pop_back();  // "Shortcut" for ShortcutN, "MiscFile%d" for MiscFileN
        EXPECT_NE(code.find("\"" + key), std::string::npos) << entry << " is named nowhere in the module";
    }
}

// The authors' reference lists, section by section, exactly the keys the check knows.
TEST(InstallInfoKeys, TheReferenceListsEveryKeyAndNoOther) {
    std::ifstream in(std::string(KP_SOURCE_DIR) + "/docs/install-information.md");
    ASSERT_TRUE(in) << "docs/install-information.md";
    std::map<std::string, std::set<std::string>> documented;
    std::string line, section;
    const std::regex heading(R"(^## \[(\w+)\])"), row(R"(^\| `(\w+)` \|)");
    for (std::smatch match; std::getline(in, line);) {
        if (std::regex_search(line, match, heading))
            section = match[1];
        else if (line.rfind("## ", 0) == 0 || line.rfind("# ", 0) == 0)
            section.clear();
        else if (!section.empty() && std::regex_search(line, match, row))
            documented[section].insert(match[1]);
    }
    std::map<std::string, std::set<std::string>> known;
    for (const auto& [name, keys] : KnownInstallInfoKeys()) known[name].insert(keys.begin(), keys.end());
    EXPECT_EQ(documented, known);
}

}  // namespace
