// Scratch folders and command runs for the packaging tool's tests.
#include "tests/support/kelpack_fixture.h"

#include <sstream>

#include "archive/archive_writer.h"
#include "archive/format.h"
#include "tools/kelpack/commands.h"

namespace fs = std::filesystem;

fs::path KelpackTest::Write(const std::string& relative, const std::string& content) {
    fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    testsupport::SetFileBytes(path.string(), content);
    return path;
}

fs::path KelpackTest::Module() {
    std::string image(ModuleSize, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    return Write("module.exe", image);
}

std::string KelpackTest::Package(const std::vector<std::string>& names) {
    const fs::path package = Module();
    ArchiveWriter* writer = CreateArchive(package.string().c_str(), ModuleSize, ArchiveFormat::NotSplit);
    EXPECT_NE(writer, nullptr);
    for (const std::string& name : names) {
        EXPECT_EQ(BeginMember(writer, name.c_str(), 0, 0xFFFFFFFF, 0xFFFFFFFF), 0);
        EXPECT_EQ(WriteMemberData(writer, name.data(), static_cast<uint32_t>(name.size())), 0);
        EXPECT_EQ(EndMember(writer), 0);
    }
    EXPECT_EQ(FinishArchive(writer), 0);
    return package.string();
}

int KelpackTest::Extract(const std::string& package, const std::string& folder, bool force) {
    std::vector<std::string> args{"extract", package, "-C", Path(folder).string()};
    if (force) args.push_back("--force");
    return Run(args);
}

int KelpackTest::Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    int code = RunKelpack(args, o, e);
    out = o.str();
    err = e.str();
    return code;
}
