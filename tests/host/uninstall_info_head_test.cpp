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

// What the reader gives: its result, the title and the language, which start as "untouched" and -7.
using Parsed = std::tuple<UninstallHeadResult, std::string, int>;
Parsed Parse(const std::string& bytes) {
    char title[PathBufferSize] = "untouched";
    int language = -7;
    const UninstallHeadResult result = ParseUninstallHead(
        reinterpret_cast<const unsigned char*>(bytes.data()), uint32_t(bytes.size()), title, &language);
    return {result, title, language};
}

// Written: signature, title cut to its field with zeros after it, a language byte that keeps "not Korean"
// whatever the value; read back as written. (A Korean title and language: UninstallInfoTest.)
TEST(UninstallHeadTest, WrittenHeadsReadBack) {
    const std::string longTitle(300, 'T');
    const std::tuple<const char*, int, std::string, char> cases[] = {
        {longTitle.c_str(), 0, longTitle.substr(0, 259), 0},
        {nullptr, 1, "", 1},
        {"English", 256, "English", 1}};
    for (const auto& [title, language, stored, storedLanguage] : cases) {
        const std::string head = Head(title, language);
        EXPECT_EQ(head, std::string("KPUI0207\0", 9) + stored + std::string(260 - stored.size(), '\0') +
                            storedLanguage)
            << language;
        EXPECT_EQ(Parse(head + "archive"), Parsed(UninstallHeadOk, stored, storedLanguage));
    }
}

// Short or foreign heads leave the outputs alone; a title without terminator stops at its field.
TEST(UninstallHeadTest, ParsingChecksLengthSignatureAndTitleField) {
    const std::string good = Head("Title", 1);
    const Parsed foreign{UninstallHeadWrongSignature, "untouched", -7};
    const std::pair<std::string, Parsed> cases[] = {
        {good.substr(0, 269), {UninstallHeadTooShort, "untouched", -7}},
        {"KPUI0207 " + good.substr(9), foreign},  // no NUL after the signature
        {good.substr(0, 9) + std::string(260, 'U') + "\x02", {UninstallHeadOk, std::string(259, 'U'), 2}},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(Parse(bytes), expected) << bytes.size();
}

}  // namespace
