// Scratch folders and archive round trips for the tests.
#include "tests/support/archive_fixture.h"

#include <fstream>
#include <iterator>
#include <random>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/format.h"
#include "archive/uninstall_info_head.h"

namespace testsupport {

ScratchFolder::ScratchFolder() {
    static unsigned counter = 0;
    std::random_device seed;
    root_ = std::filesystem::temp_directory_path() /
            ("kp-test-" + std::to_string(seed()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(root_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ScratchFolder::Path(const std::string& name) const { return (root_ / name).string(); }

bool WriteArchive(const std::string& path, uint32_t prefixLength, uint32_t volumeSize,
                  const std::vector<Member>& members) {
    return WriteArchiveAfter(path, std::string(prefixLength, 'M'), volumeSize, members);
}

bool WriteArchiveAfter(const std::string& path, const std::string& prefix, uint32_t volumeSize,
                       const std::vector<Member>& members) {
    SetFileBytes(path, prefix);
    ArchiveWriter* writer = CreateArchive(path.c_str(), static_cast<uint32_t>(prefix.size()), volumeSize);
    if (writer == nullptr) return false;
    bool ok = true;
    for (const Member& member : members) {
        ok = ok && BeginMember(writer, member.name.c_str(), member.dosDateTime, member.versionHigh,
                               member.versionLow) == 0;
        // In uneven blocks, so that block boundaries of the compressor fall anywhere.
        for (size_t at = 0; ok && at < member.data.size(); at += 7000) {
            const size_t part = std::min<size_t>(7000, member.data.size() - at);
            ok = WriteMemberData(writer, member.data.data() + at, static_cast<uint32_t>(part)) == 0;
        }
        ok = ok && EndMember(writer) == 0;
    }
    return FinishArchive(writer) == 0 && ok;
}

bool WriteUninstallInfo(const std::string& path, const char* title, int language,
                        const std::vector<Member>& members) {
    unsigned char head[ArchiveFormat::UninstallArchiveOffset];
    FillUninstallHead(head, title, language);
    SetFileBytes(path, std::string(reinterpret_cast<const char*>(head), sizeof head));
    UninstallWriter = CreateArchive(path.c_str(), sizeof head, ArchiveFormat::NotSplit);
    if (UninstallWriter == nullptr) return false;
    bool ok = true;
    for (const Member& member : members)
        ok = ok && AddMemberFromMemory(member.data.data(), static_cast<uint32_t>(member.data.size()),
                                       member.name.c_str()) == 1;
    ok = FinishArchive(UninstallWriter) == 0 && ok;
    UninstallWriter = nullptr;
    return ok;
}

ReadResult ReadArchive(const std::string& path, uint32_t offset) {
    ReadResult result;
    ArchiveReader* reader = OpenArchive(path.c_str(), offset);
    if (reader == nullptr) return result;
    int step = reader->memberCount == 0 ? -2 : 0;
    for (MemberInfo info; step == 0 && GetMemberInfoOf(reader, &info) && OpenMemberData(reader) == 0;
         step = NextMember(reader)) {
        Member member{info.name, "", reader->dosDateTime, info.versionHigh, info.versionLow};
        char buffer[5000];
        int count = 0;
        while ((count = ReadMemberData(reader, buffer, sizeof buffer)) > 0) member.data.append(buffer, count);
        if (count < 0 || CloseMemberData(reader) != 0) break;
        result.members.push_back(member);
    }
    result.ok = step == -2;
    CloseArchive(reader);
    return result;
}

void PrintTo(const Member& member, std::ostream* out) {
    *out << member.name << " (" << member.data.size() << " bytes, time " << std::hex << member.dosDateTime
         << ", version " << member.versionHigh << "." << member.versionLow << std::dec << ")";
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SetFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SampleText(size_t size, unsigned seed) {
    static const char* const words[] = {"install ", "volume ", "member ", "archive ", "Kelpack ", "\r\n"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) text += words[random() % 6];
    text.resize(size);
    return text;
}

std::string SampleNoise(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string noise(size, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    return noise;
}

}  // namespace testsupport
