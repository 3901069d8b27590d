// The message table: Korean texts in code page 949, language selection, and format strings that
// take the same arguments in both languages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/messages.h"

namespace {

struct LanguageGuard {
    int saved = LanguageFlag;
    ~LanguageGuard() { LanguageFlag = saved; }
};

std::string Bytes(const char* text) { return std::string(text); }

int CountConversions(const char* format) {
    int count = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        ++count;
    }
    return count;
}

TEST(Messages, LanguageStartsEnglish) { EXPECT_EQ(LanguageFlag, 1); }

TEST(Messages, KoreanTextsAreCodePage949Bytes) {
    EXPECT_EQ(Bytes(MessageOf(MessageId::Ok).korean), "\xC8\xAE\xC0\xCE");                     // 확인
    EXPECT_EQ(Bytes(MessageOf(MessageId::Abort).korean), "\xBC\xB3\xC4\xA1\xC1\xDF\xB4\xDC");  // 설치중단
    EXPECT_EQ(Bytes(MessageOf(MessageId::UninstallAbort).korean),
              "\xC1\xA6\xB0\xC5\xC1\xDF\xB4\xDC");                                         // 제거중단
    EXPECT_EQ(Bytes(MessageOf(MessageId::InstallationOf).korean), "%s \xBC\xB3\xC4\xA1");  // %s 설치
    EXPECT_EQ(Bytes(MessageOf(MessageId::UninstallCaptionSuffix).korean), " \xC1\xA6\xB0\xC5");  // " 제거"
    // 예 (one character) and a text whose line breaks must stay single line feeds.
    EXPECT_EQ(Bytes(MessageOf(MessageId::Yes).korean), "\xBF\xB9");
    const char* restart = MessageOf(MessageId::RestartToCompleteInstall).korean;
    EXPECT_NE(std::strstr(restart, "\n\n"), nullptr);
    EXPECT_EQ(std::strchr(restart, '\r'), nullptr);
}

TEST(Messages, SelectTextFollowsTheFlagAtTheMomentOfUse) {
    LanguageGuard guard;
    LanguageFlag = 0;
    EXPECT_STREQ(SelectText(MessageId::Cancel), MessageOf(MessageId::Cancel).korean);
    LanguageFlag = 1;
    EXPECT_STREQ(SelectText(MessageId::Cancel), "Cancel");
    LanguageFlag = -7;  // any non-zero value is English
    EXPECT_STREQ(SelectText(MessageId::UninstallAbort), "Abort");
    EXPECT_STREQ(SelectText(MessageId::RequiresAdmin),
                 "This installation requires administrator privilege.\n\nAborting installation.");
}

TEST(Messages, EveryPairIsCompleteAndTakesTheSameArguments) {
    for (unsigned i = 0; i < static_cast<unsigned>(MessageId::Count); ++i) {
        const MessagePair& pair = MessageOf(static_cast<MessageId>(i));
        ASSERT_NE(pair.korean, nullptr) << "row " << i;
        ASSERT_NE(pair.english, nullptr) << "row " << i;
        EXPECT_GT(std::strlen(pair.korean), 0u) << "row " << i;
        EXPECT_GT(std::strlen(pair.english), 0u) << "row " << i;
        EXPECT_EQ(CountConversions(pair.korean), CountConversions(pair.english)) << "row " << i;
    }
    // The volume prompts are the only texts with two arguments.
    EXPECT_EQ(CountConversions(SelectText(MessageId::InsertVolume)), 2);
    EXPECT_EQ(CountConversions(SelectText(MessageId::VolumeNotInFolder)), 2);
}

TEST(Messages, StoredInTableOrder) {
    LanguageGuard guard;
    LanguageFlag = 1;
    EXPECT_STREQ(SelectText(MessageId::InstallationOf), "Installation of %s");
    EXPECT_STREQ(SelectText(MessageId::NoMoreConfirmation), "No more confirmation.");
    EXPECT_STREQ(SelectText(MessageId::UninstallCompletedAfterRestart),
                 "Uninstallation will be completed after system restarted.");
    EXPECT_EQ(static_cast<unsigned>(MessageId::UninstallCompletedAfterRestart), 74u);
}

}  // namespace
