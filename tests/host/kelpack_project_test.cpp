// kelpack's project checks (member order, misc entries, missing parts, long names) and INI rules.
#include "tests/support/kelpack_fixture.h"
#include "tools/kelpack/ini_file.h"
#include "tools/kelpack/package_plan.h"

namespace {

class ProjectTest : public KelpackTest {
  protected:
    void SetUp() override {
        Write("wizard.bmp", "BM");
        Write("license.txt", "terms");
        Write("app/b.txt", "b");
        Write("app/a/x.txt", "x");
        Write("misc/one.dat", "1");
    }

    PackagePlan Plan() {
        Write("setup.ini", info_);
        return PlanPackage(LoadProject(Write("p.kpp", project_).string()));
    }

    // The diagnostic about key in a file whose name ends with file, or null.
    static const Diagnostic* Find(const PackagePlan& plan, const std::string& file, const std::string& key) {
        for (const Diagnostic& d : plan.diagnostics)
            if (d.key == key && d.file.ends_with(file)) return &d;
        return nullptr;
    }

    std::string info_ =
        "[General]\nDefInstallFolder=C:\\App\nSpaceNeeded=100000\n[Info]\nLicenseInfo=1\n"
        "[MiscFile]\nMiscFile1={WinDir}\\one.dat,2,0,0,0,0\n";
    std::string project_ =
        "[Package]\nInstallInfo=setup.ini\nWizardBitmap=wizard.bmp\nLicense=license.txt\nSource=app\n"
        "[MiscFiles]\n1=misc\\one.dat\n";
};

TEST_F(ProjectTest, MembersInTheirFixedOrder) {
    PackagePlan plan = Plan();
    ASSERT_TRUE(plan.diagnostics.empty()) << FormatDiagnostic(plan.diagnostics[0]);
    std::vector<std::string> names;
    for (const PlannedMember& m : plan.members) names.push_back(m.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"KPII", "KPWB", "KPLI", "Src\\a\\x.txt", "Src\\b.txt", "Misc1"}));
}

TEST_F(ProjectTest, MiscEntriesMustRunWithoutGapsAndMatchTheFiles) {
    info_ += "MiscFile3={WinDir}\\three.dat\n";
    project_ += "3=misc\\one.dat\n";
    PackagePlan plan = Plan();
    const Diagnostic* gap = Find(plan, "setup.ini", "[MiscFile] MiscFile3");
    ASSERT_NE(gap, nullptr);
    EXPECT_EQ(gap->kind, Diagnostic::Error);
    EXPECT_NE(gap->message.find("MiscFile2 is missing"), std::string::npos);
    EXPECT_NE(Find(plan, "p.kpp", "[MiscFiles] 3"), nullptr);

    info_ += "MiscFile2={WinDir}\\two.dat\n";
    plan = Plan();
    EXPECT_NE(Find(plan, "setup.ini", "[MiscFile] MiscFile2"), nullptr);  // no file for entry 2
    EXPECT_EQ(Find(plan, "setup.ini", "[MiscFile] MiscFile3"), nullptr);
}

TEST_F(ProjectTest, MissingPartsAndLongNamesAreErrorsNamingTheirKeys) {
    Write("app/" + std::string(200, 'd') + "/" + std::string(60, 'f'), "");  // longer than a member name
    PackagePlan plan = Plan();
    const Diagnostic* tooLong = Find(plan, "p.kpp", "[Package] Source");
    ASSERT_NE(tooLong, nullptr);
    EXPECT_NE(tooLong->message.find("255"), std::string::npos);

    project_ = "[Package]\nInstallInfo=setup.ini\nWizardBitmap=none.bmp\n";
    plan = Plan();
    EXPECT_TRUE(HasErrors(plan.diagnostics));
    EXPECT_NE(Find(plan, "p.kpp", "[Package] WizardBitmap"), nullptr);
    EXPECT_NE(Find(plan, "setup.ini", "[Info] LicenseInfo"), nullptr);  // set, but no License file
    project_ = "[Package]\nWizardBitmap=wizard.bmp\n";
    EXPECT_NE(Find(Plan(), "p.kpp", "[Package] InstallInfo"), nullptr);
}

TEST(IniFileTest, ReadsAsTheProfileFunctionsDo) {
    IniFile ini = IniFile::Parse(
        "; comment\r\n[info]\r\n LicenseInfo = 1 \r\nlicenseinfo=0\r\nQuoted=\"a b\"\r\nEmpty=\r\n"
        "Number=12abc\r\nWord=abc\r\n");
    EXPECT_EQ(ini.Get("INFO", "licenseINFO"), "1");  // first of duplicates, any case
    EXPECT_EQ(ini.Get("Info", "Quoted"), "a b");
    EXPECT_EQ(ini.Get("Info", "Empty"), "");
    EXPECT_FALSE(ini.Get("Info", "Missing"));
    for (const auto& [key, number] : {std::pair{"Number", 12}, {"Word", 5}, {"Empty", 5}})
        EXPECT_EQ(ini.GetInt("Info", key, 5), number) << key;  // leading digits, else the default
    EXPECT_TRUE(ini.GetBool("Info", "LicenseInfo", false));
}

}  // namespace
