// The uninstall information file's head: what the module writes and what the readers accept of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "archive/uninstall_info_head.h"
#include "common/strings.h"

namespace {

using namespace ArchiveFormat;

std::string Head(const char* title, int language) {
    std::string head(UninstallArchiveOffset, 'x');
    FillUninstallHead(reinterpret_cast<unsigned char*>(head.data()), title, language);
    return head;
}

struct Parsed {
    UninstallHeadResult result;
    std::string title;
    int language;
};

Parsed Parse(const std::string& bytes) {
    char title[PathBufferSize] = "untouched";
    int language = -7;
    UninstallHeadResult result = ParseUninstallHead(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                    uint32_t(bytes.size()), title, &language);
    return {result, title, language};
}

TEST(UninstallHeadTest, WrittenHeadHasTheLayoutAndReadsBack) {
    const std::string head = Head("Hello \xc7\xd1\xb1\xdb App", 0);
    EXPECT_EQ(head.substr(0, 9), std::string("KPUI0207\0", 9));
    const std::string title = "Hello \xc7\xd1\xb1\xdb App";
    EXPECT_EQ(head.substr(9, 260), title + std::string(260 - title.size(), '\0'));
    EXPECT_EQ(head[269], '\0');
    const Parsed parsed = Parse(head + "archive follows");
    EXPECT_EQ(parsed.result, UninstallHeadOk);
    EXPECT_EQ(parsed.title, title);
    EXPECT_EQ(parsed.language, 0);
}

TEST(UninstallHeadTest, TitleIsCutAndLanguageKeepsItsMeaning) {
    struct Case {
        const char* title;
        int language;
        std::string storedTitle;
        char storedLanguage;
    };
    const std::string longTitle(300, 'T');
    const std::vector<Case> cases = {
        {longTitle.c_str(), 1, std::string(259, 'T'), 1},
        {nullptr, 0, "", 0},
        {"English", 256, "English", 1},  // not 0 once cut to a byte
        {"English", -1, "English", 1},
    };
    for (const Case& c : cases) {
        const std::string head = Head(c.title, c.language);
        EXPECT_EQ(head[9 + c.storedTitle.size()], '\0') << c.storedTitle.size();
        EXPECT_EQ(head[269], c.storedLanguage) << c.language;
        const Parsed parsed = Parse(head);
        EXPECT_EQ(parsed.title, c.storedTitle);
        EXPECT_EQ(parsed.language, c.storedLanguage);
    }
}

TEST(UninstallHeadTest, ForeignOrShortHeadsAreRefusedAndLeaveTheOutputsAlone) {
    const std::string good = Head("Title", 1);
    struct Case {
        std::string bytes;
        UninstallHeadResult result;
    };
    const std::vector<Case> cases = {
        {good.substr(0, 269), UninstallHeadTooShort},
        {"", UninstallHeadTooShort},
        {"kpui0207" + good.substr(8), UninstallHeadWrongSignature},
        {"KPUI0206" + good.substr(8), UninstallHeadWrongSignature},
        {"KPUI0207 " + good.substr(9), UninstallHeadWrongSignature},  // no NUL after the signature
    };
    for (const Case& c : cases) {
        const Parsed parsed = Parse(c.bytes);
        EXPECT_EQ(parsed.result, c.result) << c.bytes.size();
        EXPECT_EQ(parsed.title, "untouched");
        EXPECT_EQ(parsed.language, -7);
    }
}

TEST(UninstallHeadTest, UnterminatedTitleStopsAtItsField) {
    std::string head = Head("", 1);
    head.replace(9, 260, std::string(260, 'U'));
    const Parsed parsed = Parse(head);
    EXPECT_EQ(parsed.result, UninstallHeadOk);
    EXPECT_EQ(parsed.title, std::string(259, 'U'));
    EXPECT_EQ(parsed.language, 1);
}

}  // namespace
