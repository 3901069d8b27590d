// The switches of an unattended run, as a caller types them (forms the e2e Unattended runs use: there).
#include <gtest/gtest.h>
#include <string.h>

#include "common/unattended_switches.h"

namespace {

TEST(UnattendedSwitches, EachLineIsReadOrRefusedWithTheWordAtFault) {
    using enum SwitchesRead;
    const struct {
        const char* line;
        SwitchesRead read;
        const char* folder = "";
        const char* logFile = "";
        const char* uninstallInfo = "";
        const char* problem = "";  // the word at fault
    } cases[] = {
        {"/D=C:\\App /LOG=C:\\kp.log", NotSilent},
        {"  /s  ", Silent},
        {"/S \"/D=C:\\A B\"", Silent, "C:\\A B"},
        {"/S /D=C:\\Program Files\\App /LOG=C:\\kp.log", Silent, "C:\\Program Files\\App", "C:\\kp.log"},
        {"/log=C:\\kp.log /d=C:\\App /s", Silent, "C:\\App", "C:\\kp.log"},
        {"/S /U=\"C:\\Program Files\\App\\KPU0001.inf\" /LOG=\"C:\\My Logs\\u.log\"", Silent, "",
         "C:\\My Logs\\u.log", "C:\\Program Files\\App\\KPU0001.inf"},
        {.line = "/S /DIR=C:\\x", .read = Malformed, .problem = "/DIR=C:\\x"},
        {.line = "/S /D=relative\\dir", .read = Malformed, .problem = "/D=relative\\dir"},
        {.line = "/S /D=", .read = Malformed, .problem = "/D="},
        {.line = "/S /D=\"C:\\App", .read = Malformed, .problem = "/D=\"C:\\App"},
    };
    UnattendedSwitches switches;
    char problem[260] = "";
    EXPECT_EQ(ReadUnattendedSwitches(nullptr, &switches, problem), NotSilent);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        memset(&switches, 'x', sizeof switches);  // all cleared first
        problem[0] = '\0';
        ASSERT_EQ(ReadUnattendedSwitches(c.line, &switches, problem), c.read);
        std::string word = problem, expected = c.problem;  // whether its quote is shown or not
        std::erase(word, '"'), std::erase(expected, '"');
        EXPECT_EQ(word, expected);
        if (c.read != Silent) continue;  // the line says nothing more
        EXPECT_NE(switches.silent, 0);
        EXPECT_STREQ(switches.folder, c.folder);
        EXPECT_STREQ(switches.logFile, c.logFile);
        EXPECT_STREQ(switches.uninstallInfo, c.uninstallInfo);
    }
}

}  // namespace
