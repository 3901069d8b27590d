// The message table: Korean texts in code page 949, language selection, and format strings that
// take the same arguments in both languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "common/messages.h"

namespace {

struct LanguageGuard {
    int saved = LanguageFlag;
    ~LanguageGuard() { LanguageFlag = saved; }
};

// Conversions in a format string; "%%" is none.
int CountConversions(std::string format) {
    for (size_t at; (at = format.find("%%")) != std::string::npos;) format.erase(at, 2);
    return static_cast<int>(std::count(format.begin(), format.end(), '%'));
}

// English at the start; Korean texts are code page 949 bytes; the flag is read at the moment of use, and
// any non-zero value is English.
TEST(Messages, TextsFollowTheFlagAtTheMomentOfUse) {
    EXPECT_EQ(LanguageFlag, 1);
    LanguageGuard guard;
    const std::tuple<int, MessageId, const char*> cases[] = {
        {0, MessageId::Ok, "\xC8\xAE\xC0\xCE"},                              // 확인
        {0, MessageId::Abort, "\xBC\xB3\xC4\xA1\xC1\xDF\xB4\xDC"},           // 설치중단
        {0, MessageId::UninstallAbort, "\xC1\xA6\xB0\xC5\xC1\xDF\xB4\xDC"},  // 제거중단
        {0, MessageId::InstallationOf, "%s \xBC\xB3\xC4\xA1"},               // %s 설치
        {0, MessageId::UninstallCaptionSuffix, " \xC1\xA6\xB0\xC5"},         // " 제거"
        {0, MessageId::Yes, "\xBF\xB9"},                                     // 예, one character
        {0, MessageId::Cancel, "\xC3\xEB\xBC\xD2"},                          // 취소
        {1, MessageId::Cancel, "Cancel"},
        {1, MessageId::InstallationOf, "Installation of %s"},
        {1, MessageId::NoMoreConfirmation, "No more confirmation."},
        {1, MessageId::UninstallCompletedAfterRestart,
         "Uninstallation will be completed after system restarted."},
        {-7, MessageId::UninstallAbort, "Abort"},
        {-7, MessageId::RequiresAdmin,
         "This installation requires administrator privilege.\n\nAborting installation."},
    };
    for (const auto& [flag, id, text] : cases) {
        LanguageFlag = flag;
        const MessagePair& pair = MessageOf(id);
        EXPECT_STREQ(flag == 0 ? pair.korean : pair.english, text) << "message " << unsigned(id);
        EXPECT_STREQ(SelectText(id), text) << "message " << unsigned(id) << ", flag " << flag;
    }
    // The table keeps its order; a Korean text's line breaks stay single line feeds.
    EXPECT_EQ(static_cast<unsigned>(MessageId::UninstallCompletedAfterRestart), 74u);
    const char* restart = MessageOf(MessageId::RestartToCompleteInstall).korean;
    EXPECT_NE(std::strstr(restart, "\n\n"), nullptr);
    EXPECT_EQ(std::strchr(restart, '\r'), nullptr);
}

TEST(Messages, EveryPairIsCompleteAndTakesTheSameArguments) {
    for (unsigned i = 0; i < static_cast<unsigned>(MessageId::Count); ++i) {
        const MessagePair& pair = MessageOf(static_cast<MessageId>(i));
        ASSERT_TRUE(pair.korean && pair.english) << "row " << i;
        EXPECT_TRUE(*pair.korean && *pair.english) << "row " << i;
        EXPECT_EQ(CountConversions(pair.korean), CountConversions(pair.english)) << "row " << i;
    }
    // The volume prompts are the only texts with two arguments.
    EXPECT_EQ(CountConversions(SelectText(MessageId::InsertVolume)), 2);
    EXPECT_EQ(CountConversions(SelectText(MessageId::VolumeNotInFolder)), 2);
}

}  // namespace
