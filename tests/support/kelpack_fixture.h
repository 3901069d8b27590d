// A scratch folder for the packaging tool's tests, with helpers to lay out projects and run commands.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/support/archive_fixture.h"
#include "tools/kelpack/commands.h"

class KelpackTest : public ::testing::Test {
  protected:
    // Writes a file below the scratch folder (folders created) and returns its path.
    std::filesystem::path Write(const std::string& relative, const std::string& content) {
        const std::filesystem::path path = Path(relative);
        std::filesystem::create_directories(path.parent_path());
        testsupport::SetFileBytes(path.string(), content);
        return path;
    }
    std::filesystem::path Path(const std::string& relative) const { return scratch_.Root() / relative; }
    std::string At(const std::string& relative) const { return Path(relative).string(); }
    std::string Read(const std::filesystem::path& path) const {
        return testsupport::FileBytes(path.string());
    }
    // A module stand-in of the right size: "MZ" and zeros.
    static std::string ModuleBytes() { return "MZ" + std::string(ModuleSize - 2, '\0'); }

    // A package of the members, each holding its own name as data, written past the checks of the build.
    std::string Package(const std::vector<std::string>& names) {
        std::vector<testsupport::Member> members;
        for (const std::string& name : names) members.push_back({name, name});
        EXPECT_TRUE(testsupport::WriteArchiveAfter(At("module.exe"), ModuleBytes(), ArchiveFormat::NotSplit,
                                                   members));
        return At("module.exe");
    }

    // Runs the tool; out and err keep what it printed.
    int Run(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        const int code = RunKelpack(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
    int Extract(const std::string& package, const std::string& folder = "x", bool force = false) {
        std::vector<std::string> args{"extract", package, "-C", At(folder)};
        if (force) args.push_back("--force");
        return Run(args);
    }
    std::string out, err;

  private:
    testsupport::ScratchFolder scratch_;
};
