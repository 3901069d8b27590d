// Which mode a command line selects, and which argument it carries.
#include <gtest/gtest.h>

#include <string>

#include "startup/mode_dispatch.h"

namespace {

std::string Argument(const char* commandLine) {
    char argument[260];
    ArgumentOf(commandLine, argument);
    return argument;
}

TEST(ModeDispatch, OptionsAreCaseSensitiveTwoCharacterPrefixes) {
    EXPECT_EQ(ModeOf("-IC:\\pkg.exe"), Mode::Install);
    EXPECT_EQ(ModeOf("-iC:\\end.ini"), Mode::Finish);
    EXPECT_EQ(ModeOf("~iC:\\end.ini"), Mode::PostInstall);
    EXPECT_EQ(ModeOf("-UC:\\app\\uninst.kpu"), Mode::Uninstall);
    EXPECT_EQ(ModeOf("-uMy App"), Mode::UninstallCleanup);
    EXPECT_EQ(ModeOf("-I"), Mode::Install);  // the option alone still selects the mode
}

TEST(ModeDispatch, EverythingElseIsBootstrap) {
    for (const char* line : {"", "-", "-X", "~I", "~U", "~u", " -I", "/I", "i", "--help"}) {
        EXPECT_EQ(ModeOf(line), Mode::Bootstrap) << '"' << line << '"';
    }
    EXPECT_EQ(ModeOf(nullptr), Mode::Bootstrap);
}

TEST(ModeDispatch, ArgumentIsTheRestOfTheLineTakenWhole) {
    EXPECT_EQ(Argument("-IC:\\My Setup\\pkg.exe"), "C:\\My Setup\\pkg.exe");
    EXPECT_EQ(Argument("-I \"C:\\pkg.exe\" "), " \"C:\\pkg.exe\" ");  // blanks and quotes stay
    EXPECT_EQ(Argument("-I"), "");
    EXPECT_EQ(Argument("-"), "");
    EXPECT_EQ(Argument(""), "");
}

TEST(ModeDispatch, ArgumentIsCutTo259Characters) {
    std::string path(400, 'x');
    std::string line = "-U" + path;
    EXPECT_EQ(Argument(line.c_str()), path.substr(0, 259));
    line = "-U" + path.substr(0, 259);
    EXPECT_EQ(Argument(line.c_str()), path.substr(0, 259));
}

}  // namespace
