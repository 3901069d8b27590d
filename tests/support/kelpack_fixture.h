// A scratch folder for the packaging tool's tests, with helpers to lay out projects and run commands.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/archive_fixture.h"

class KelpackTest : public ::testing::Test {
  protected:
    // Writes a file below the scratch folder (folders created) and returns its path.
    std::filesystem::path Write(const std::string& relative, const std::string& content);
    std::filesystem::path Path(const std::string& relative) const { return scratch_.Root() / relative; }
    std::string Read(const std::filesystem::path& path) const {
        return testsupport::FileBytes(path.string());
    }
    // A module stand-in of the right size ("MZ" and zeros) in the scratch folder.
    std::filesystem::path Module();
    // A package of the members, each holding its own name as data, written past the checks of the build.
    std::string Package(const std::vector<std::string>& names);

    // Runs the tool; out and err keep what it printed.
    int Run(const std::vector<std::string>& args);
    int Extract(const std::string& package, const std::string& folder = "x", bool force = false);
    std::string out, err;

  private:
    testsupport::ScratchFolder scratch_;
};
