// The leading members of a package and the extraction messages, on the package reader.
#include "archive/archive_messages.h"
#include "archive/archive_reader.h"
#include "common/messages.h"
#include "script/leading_members.h"
#include "tests/win/win_test.h"

namespace {

class LeadingMembersTest : public testsupport::PackageTest {
  protected:
    // Opens a package of the members with the install information `info` as the package reader.
    void OpenPackage(const std::vector<testsupport::Member>& members, const std::string& info) {
        testsupport::SetFileBytes(folder_.Path("setup.ini"), info);
        lstrcpynA(InstallInfoFile, folder_.Path("setup.ini").c_str(), sizeof InstallInfoFile);
        PackageTest::OpenPackage(members);
    }
    void TearDown() override {
        for (void* block : {static_cast<void*>(WizardBitmap), static_cast<void*>(LicenseText),
                            static_cast<void*>(InfoText)})
            free(block);
        WizardBitmap = nullptr;
        LicenseText = InfoText = nullptr;
        WizardBitmapSize = 0;
        PackageTest::TearDown();
    }
};

TEST_F(LeadingMembersTest, LoadsWhatTheInstallInformationAsksFor) {
    OpenPackage({{"KPII", "x"}, {"kpwb", "BM-bitmap"}, {"KPLI", "License text"}, {"Src\\a", "a"}},
                "[Info]\r\nLicenseInfo=1\r\nPreInfo=0\r\n");
    EXPECT_EQ(LoadWizardBitmap(), 1);
    ASSERT_NE(WizardBitmap, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(WizardBitmap), WizardBitmapSize), "BM-bitmap");
    EXPECT_EQ(LoadLicenseText(), 1);
    ASSERT_NE(LicenseText, nullptr);
    EXPECT_STREQ(LicenseText, "License text");
    EXPECT_EQ(LoadInfoText(), 1);  // not asked for: the reader stays on the license
    EXPECT_EQ(InfoText, nullptr);
    EXPECT_EQ(NextMember(PackageReader), 0);
    EXPECT_EQ(MemberNameIs("Src\\a"), 1);
}

TEST_F(LeadingMembersTest, AMissingBitmapCostsTheNextMemberToo) {
    OpenPackage({{"KPII", "x"}, {"KPLI", "License text"}}, "[Info]\r\nLicenseInfo=1\r\n");
    EXPECT_EQ(LoadWizardBitmap(), 0);
    EXPECT_EQ(WizardBitmap, nullptr);
    EXPECT_EQ(LoadLicenseText(), 0);
    EXPECT_EQ(LicenseText, nullptr);
}

// Shows the message on this thread while another one answers it; the text shown, or "" for none.
std::string MessageShownBy(void (*show)()) {
    testsupport::MessageBoxWatcher boxes;
    show();
    boxes.Stop();
    return boxes.Texts().empty() ? "" : boxes.Texts()[0];
}

TEST(ArchiveMessages, ShownInTheLanguageUntilTheUserAborts) {
    LanguageFlag = 1;
    AbortFlag = 0;
    EXPECT_EQ(MessageShownBy([] { ShowCantInstallFile("C:\\App\\a.dll"); }),
              "Can't install file 'C:\\App\\a.dll'.\n\nAborting installation.");
    EXPECT_EQ(MessageShownBy(ShowArchiveDamaged), SelectText(MessageId::ArchiveErrors));
    AbortFlag = 1;
    EXPECT_EQ(MessageShownBy(ShowArchiveDamaged), "");
    EXPECT_EQ(MessageShownBy([] { ShowCantInstallFile("C:\\App\\a.dll"); }), "");
    AbortFlag = 0;
}

}  // namespace
