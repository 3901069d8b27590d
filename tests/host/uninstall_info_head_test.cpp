// The uninstall information file's head: what the module writes and what the readers accept of it.
#include <gtest/gtest.h>

#include "archive/uninstall_info_head.h"
#include "common/strings.h"

namespace {

std::string Head(const char* title, int language) {
    std::string head(270, 'x');
    FillUninstallHead(reinterpret_cast<unsigned char*>(head.data()), title, language);
    return head;
}

struct Parsed {
    UninstallHeadResult result;
    std::string title = "untouched";
    int language = -7;
};

Parsed Parse(const std::string& bytes) {
    char title[PathBufferSize] = "untouched";
    Parsed parsed{UninstallHeadOk};
    parsed.result = ParseUninstallHead(reinterpret_cast<const unsigned char*>(bytes.data()),
                                       uint32_t(bytes.size()), title, &parsed.language);
    parsed.title = title;
    return parsed;
}

// Written heads: signature, title cut to its field with zeros after it, a language byte that keeps
// "not Korean" whatever the value; read back as written.
TEST(UninstallHeadTest, WrittenHeadsReadBack) {
    const std::string longTitle(300, 'T');
    const struct {
        const char* title;
        int language;
        std::string storedTitle;
        char storedLanguage;
    } cases[] = {
        {"Hello \xc7\xd1\xb1\xdb", 0, "Hello \xc7\xd1\xb1\xdb", 0},
        {longTitle.c_str(), 1, longTitle.substr(0, 259), 1},
        {nullptr, 0, "", 0},
        {"English", 256, "English", 1},  // not 0 once cut to a byte
        {"English", -1, "English", 1},
    };
    for (const auto& c : cases) {
        const std::string head = Head(c.title, c.language);
        EXPECT_EQ(head.substr(0, 9), std::string("KPUI0207\0", 9));
        EXPECT_EQ(head.substr(9, 260), c.storedTitle + std::string(260 - c.storedTitle.size(), '\0'));
        EXPECT_EQ(head[269], c.storedLanguage) << c.language;
        const Parsed parsed = Parse(head + "archive");
        EXPECT_EQ(parsed.result, UninstallHeadOk);
        EXPECT_EQ(parsed.title, c.storedTitle);
        EXPECT_EQ(parsed.language, c.storedLanguage);
    }
}

// Short or foreign heads leave the outputs alone; a title without terminator stops at its field.
TEST(UninstallHeadTest, ParsingChecksLengthSignatureAndTitleField) {
    const std::string good = Head("Title", 1);
    const std::vector<std::pair<std::string, Parsed>> cases = {
        {good.substr(0, 269), {UninstallHeadTooShort}},
        {"", {UninstallHeadTooShort}},
        {"kpui0207" + good.substr(8), {UninstallHeadWrongSignature}},
        {"KPUI0206" + good.substr(8), {UninstallHeadWrongSignature}},
        {"KPUI0207 " + good.substr(9), {UninstallHeadWrongSignature}},  // no NUL after the signature
        {good.substr(0, 9) + std::string(260, 'U') + "\x02", {UninstallHeadOk, std::string(259, 'U'), 2}},
    };
    for (const auto& [bytes, expected] : cases) {
        const Parsed parsed = Parse(bytes);
        EXPECT_EQ(parsed.result, expected.result) << bytes.size();
        EXPECT_EQ(parsed.title, expected.title) << bytes.size();
        EXPECT_EQ(parsed.language, expected.language) << bytes.size();
    }
}

}  // namespace
