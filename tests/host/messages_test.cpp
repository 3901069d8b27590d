// The message table: every text in both languages, with the same arguments in both.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/messages.h"

namespace {

// Conversions in a format string; "%%" is none.
int CountConversions(std::string format) {
    for (size_t at; (at = format.find("%%")) != std::string::npos;) format.erase(at, 2);
    return static_cast<int>(std::count(format.begin(), format.end(), '%'));
}

TEST(Messages, EveryPairIsCompleteAndTakesTheSameArguments) {
    for (unsigned i = 0; i < static_cast<unsigned>(MessageId::Count); ++i) {
        const MessagePair& pair = MessageOf(static_cast<MessageId>(i));
        ASSERT_TRUE(pair.korean && pair.english) << "row " << i;
        EXPECT_TRUE(*pair.korean && *pair.english) << "row " << i;
        EXPECT_EQ(CountConversions(pair.korean), CountConversions(pair.english)) << "row " << i;
    }
}

}  // namespace
