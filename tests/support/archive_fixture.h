// Scratch folders, and members written with the archive writer and read back with the reader.
#pragma once

#include <stdint.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the temporary folder, removed with its contents at the end.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // A path inside the folder, as the archive code takes it.
    std::string Path(const std::string& name) const;
    const std::filesystem::path& Root() const { return root_; }

  private:
    std::filesystem::path root_;
};

struct Member {
    std::string name;
    std::string data;
    uint32_t dosDateTime = 0;
    uint32_t versionHigh = 0xFFFFFFFF, versionLow = 0xFFFFFFFF;
    bool operator==(const Member&) const = default;
};
// A failure shows the member without its data, which may be megabytes.
void PrintTo(const Member& member, std::ostream* out);

// Writes prefixLength bytes of 'M' and then an archive of the members to path. True on success.
bool WriteArchive(const std::string& path, uint32_t prefixLength, uint32_t volumeSize,
                  const std::vector<Member>& members);
// Writes prefix and then an archive of the members to path (a package: the module, then the archive).
bool WriteArchiveAfter(const std::string& path, const std::string& prefix, uint32_t volumeSize,
                       const std::vector<Member>& members);

// An uninstall information file as the module writes it (members through UninstallWriter: no times,
// versions).
bool WriteUninstallInfo(const std::string& path, const char* title, int language,
                        const std::vector<Member>& members);

// Every member with its data and CRC check; ok is false as soon as any step fails.
struct ReadResult {
    bool ok = false;
    std::vector<Member> members;
};
ReadResult ReadArchive(const std::string& path, uint32_t offset);

std::string FileBytes(const std::string& path);
void SetFileBytes(const std::string& path, const std::string& bytes);
// Deterministic bytes: compressible text or incompressible noise.
std::string SampleText(size_t size, unsigned seed);
std::string SampleNoise(size_t size, unsigned seed);

}  // namespace testsupport
