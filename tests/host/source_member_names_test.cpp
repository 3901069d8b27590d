// Which source-folder member names the module installs: only paths that stay inside the install folder
// and name a plain file or folder there.
#include <gtest/gtest.h>

#include "common/paths.h"

namespace {

TEST(SourceMemberNames, OnlyPlainPathsInsideTheInstallFolderPass) {
    for (const char* good :
         {"Src\\a.txt", "Src\\sub\\deep\\b.txt", "Src\\empty\\", "Src\\a..b", "Src\\.hidden",
          "Src\\console.txt", "Src\\COM10", "Src\\nul-free\\CONFIG.SYS", "Src\\a b\\c"})
        EXPECT_EQ(IsSafeSourceMemberName(good), 1) << good;
    for (const char* bad :
         {// not a source member, or no path
          "Src\\", "Src", "Srcx\\a", "src\\a",
          // leaving the folder
          "Src\\..\\evil.dll", "Src\\a\\..\\..\\b", "Src\\..", "Src\\a/../../b", "Src\\... \\x",
          "Src\\\t..\\x.dll", "Src\\..\t\\x.dll", "Src\\ \\x", "Src\\a\\\\b",
          // drives, streams, shares and roots
          "Src\\C:\\Windows\\x.dll", "Src\\\\share\\x", "Src\\/x", "Src\\a:stream",
          // control characters and wildcards
          "Src\\a\x1b.txt", "Src\\a\x7f", "Src\\*.dll", "Src\\a?.txt", "Src\\a<b", "Src\\a>b", "Src\\a|b",
          "Src\\a\"b",
          // devices, with or without an extension, in any letter case
          "Src\\CON", "Src\\con.txt", "Src\\sub\\NUL", "Src\\Aux.dat", "Src\\prn\\x", "Src\\COM1",
          "Src\\lpt9.log", "Src\\CON .txt", "Src\\conout$", "Src\\nul. "})
        EXPECT_EQ(IsSafeSourceMemberName(bad), 0) << bad;
}

}  // namespace
