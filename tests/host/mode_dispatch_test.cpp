// Which mode a command line selects, and which argument it carries.
#include <gtest/gtest.h>

#include "startup/mode_dispatch.h"

namespace {

// The argument is the rest of the line whole, blanks and quotes kept, cut to 259 characters. (Each mode's
// own line, as the module starts itself: the e2e runs of install, finish, restart and uninstall.)
TEST(ModeDispatch, ModeAndArgumentOfEachLine) {
    using enum Mode;
    const std::string longest(259, 'x');
    const std::tuple<std::string, Mode, std::string> cases[] = {
        {"-I \"C:\\pkg.exe\" ", Install, " \"C:\\pkg.exe\" "},
        {"-I", Install, ""},
        {"-U" + std::string(400, 'x'), Uninstall, longest},
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
