// Which mode a command line selects, and which argument it carries.
#include <gtest/gtest.h>

#include "startup/mode_dispatch.h"

namespace {

// Options are case-sensitive two-character prefixes, and the option alone still selects its mode; the
// argument is the rest of the line taken whole, blanks and quotes kept, cut to 259 characters.
TEST(ModeDispatch, ModeAndArgumentOfEachLine) {
    using enum Mode;
    const std::string longest(259, 'x');
    const std::tuple<std::string, Mode, std::string> cases[] = {
        {"-IC:\\pkg.exe", Install, "C:\\pkg.exe"},
        {"-I \"C:\\pkg.exe\" ", Install, " \"C:\\pkg.exe\" "},
        {"-I", Install, ""},
        {"-iC:\\end.ini", Finish, "C:\\end.ini"},
        {"~iC:\\end.ini", PostInstall, "C:\\end.ini"},
        {"-UC:\\app\\uninst.kpu", Uninstall, "C:\\app\\uninst.kpu"},
        {"-U" + longest, Uninstall, longest},
        {"-U" + std::string(400, 'x'), Uninstall, longest},
        {"-uMy App", UninstallCleanup, "My App"},
        {"-", Bootstrap, ""},
        {"", Bootstrap, ""}};
    for (const auto& [line, mode, argument] : cases) {
        EXPECT_EQ(ModeOf(line.c_str()), mode) << '"' << line << '"';
        char taken[260];
        ArgumentOf(line.c_str(), taken);
        EXPECT_EQ(taken, argument) << '"' << line << '"';
    }
    for (const char* line : {"-X", "~I", "~U", "~u", " -I", "/I", "i", "--help"})
        EXPECT_EQ(ModeOf(line), Bootstrap) << '"' << line << '"';
    EXPECT_EQ(ModeOf(nullptr), Bootstrap);
}

}  // namespace
