// The message table: Korean texts in code page 949, language selection, the same arguments in both.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/messages.h"

namespace {

// Conversions in a format string; "%%" is none.
int CountConversions(std::string format) {
    for (size_t at; (at = format.find("%%")) != std::string::npos;) format.erase(at, 2);
    return static_cast<int>(std::count(format.begin(), format.end(), '%'));
}

// English at the start; Korean texts are code page 949 bytes, the first and the last row where they
// belong; the flag is read at the moment of use, and any non-zero value is English.
TEST(Messages, TextsFollowTheFlagAtTheMomentOfUse) {
    const int saved = LanguageFlag;
    EXPECT_EQ(saved, 1);
    const std::tuple<int, MessageId, const char*> cases[] = {
        {0, MessageId::InstallationOf, "%s \xBC\xB3\xC4\xA1"},        // %s 설치
        {0, MessageId::UninstallCaptionSuffix, " \xC1\xA6\xB0\xC5"},  // " 제거"
        {1, MessageId::InstallationOf, "Installation of %s"},
        {-7, MessageId::UninstallAbort, "Abort"},
    };
    for (const auto& [flag, id, text] : cases) {
        LanguageFlag = flag;
        const MessagePair& pair = MessageOf(id);
        EXPECT_STREQ(flag == 0 ? pair.korean : pair.english, text) << "message " << unsigned(id);
        EXPECT_STREQ(SelectText(id), text) << "message " << unsigned(id) << ", flag " << flag;
    }
    LanguageFlag = saved;
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
