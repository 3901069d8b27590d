// The extraction messages: in the language, none once the user has aborted.
#include "archive/archive_messages.h"
#include "common/messages.h"
#include "tests/win/win_test.h"

namespace {

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
