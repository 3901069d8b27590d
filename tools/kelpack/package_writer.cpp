// Writing the package: module copy, archive members through the archive writer, clean-up on failure.
#include "tools/kelpack/package_writer.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <system_error>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/format.h"
#include "common/paths.h"
#include "common/strings.h"
#include "tools/kelpack/tool_error.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t ReadChunk = 65536;

std::vector<char> ReadModule(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(path.string() + ": cannot read the install module");
    std::vector<char> image(ModuleSize + 1);
    in.read(image.data(), std::streamsize(image.size()));
    if (size_t(in.gcount()) != ModuleSize)
        throw ToolError(path.string() + ": not an install module: it must be exactly " +
                        std::to_string(ModuleSize) + " bytes");
    image.resize(ModuleSize);
    if (image[0] != 'M' || image[1] != 'Z')
        throw ToolError(path.string() + ": not an install module (no MZ image)");
    return image;
}

// An upper bound of the raw deflate output for n input bytes (zlib's compressBound with room to spare).
uint64_t DeflateBound(uint64_t n) { return n + (n >> 12) + (n >> 14) + (n >> 25) + 18; }

// Everything a package can hold: 255 volumes of the volume size, and 32-bit positions.
uint64_t Capacity(uint32_t volumeSize) {
    uint64_t limit = 0xFFFFFFFEull;
    if (volumeSize != ArchiveFormat::NotSplit)
        limit = std::min(limit, uint64_t(volumeSize) * ArchiveFormat::MaxVolumes);
    return limit;
}

void CheckSettings(const PackagePlan& plan, const WriteSettings& settings) {
    std::string output = settings.output.string();
    if (output.size() + 4 >= PathBufferSize)
        throw ToolError(output + ": path too long for the package format (at most " +
                        std::to_string(PathBufferSize - 5) + " bytes)");
    if (settings.volumeSize != ArchiveFormat::NotSplit) {
        if (settings.volumeSize <= ModuleSize + ArchiveFormat::HeaderSize)
            throw ToolError("volume size " + std::to_string(settings.volumeSize) +
                            " too small: it must exceed " +
                            std::to_string(ModuleSize + ArchiveFormat::HeaderSize) +
                            " bytes (the module and the archive header lie in the first volume)");
        if (ExtensionOf(output.c_str())[0] == '\0')
            throw ToolError(output +
                            ": a package split into volumes needs an extension (volumes replace it)");
    }
    // Writing over an input would pack a half-written file.
    std::set<fs::path> inputs;
    std::error_code error;
    for (const PlannedMember& member : plan.members)
        if (!member.source.empty()) inputs.insert(fs::weakly_canonical(member.source, error));
    for (unsigned volume = 0; volume <= ArchiveFormat::MaxVolumes; ++volume) {
        fs::path file = fs::weakly_canonical(VolumeFile(output, volume), error);
        if (inputs.count(file) != 0)
            throw ToolError(file.string() + ": the package would overwrite one of its inputs");
    }
}

class ArchiveOutput {
  public:
    ArchiveOutput(const std::string& output, uint32_t volumeSize)
        : output_(output), volumeSize_(volumeSize) {}
    ~ArchiveOutput() {
        if (writer_ != nullptr) FinishArchive(writer_);
        if (!done_) RemovePackageFiles(output_);
    }

    unsigned Write(const std::vector<char>& module, const PackagePlan& plan, Progress& progress) {
        {
            std::ofstream out(output_, std::ios::binary | std::ios::trunc);
            out.write(module.data(), std::streamsize(module.size()));
            if (!out.flush()) throw ToolError(output_ + ": cannot be written");
        }
        writer_ = CreateArchive(output_.c_str(), ModuleSize, volumeSize_);
        if (writer_ == nullptr) throw ToolError(output_ + ": cannot start the archive");
        for (const PlannedMember& member : plan.members) AddMember(member, progress);
        unsigned volumes = unsigned(writer_->currentVolume) + 1;
        ArchiveWriter* writer = writer_;
        writer_ = nullptr;
        if (FinishArchive(writer) != 0) throw ToolError(output_ + ": cannot complete the archive header");
        done_ = true;
        return volumes;
    }

  private:
    void AddMember(const PlannedMember& member, Progress& progress) {
        uint64_t needed = uint64_t(writer_->totalSize) + ArchiveFormat::MemberHeaderSize +
                          member.name.size() + DeflateBound(member.size);
        if (needed > Capacity(volumeSize_))
            throw ToolError(member.name + ": the package would outgrow " +
                            (volumeSize_ == ArchiveFormat::NotSplit ? std::string("the format's 4 GiB")
                                                                    : "255 volumes of this size"));
        progress.BeginMember(member.name, member.size);
        if (BeginMember(writer_, member.name.c_str(), member.dosDateTime, member.versionHigh,
                        member.versionLow) != 0)
            throw ToolError(output_ + ": cannot write member " + member.name);
        uint64_t copied = 0;
        if (!member.source.empty()) {
            std::ifstream in(member.source, std::ios::binary);
            if (!in) throw ToolError(member.source.string() + ": cannot be read");
            std::vector<char> buffer(ReadChunk);
            while (in) {
                in.read(buffer.data(), std::streamsize(buffer.size()));
                uint32_t count = uint32_t(in.gcount());
                if (count == 0) break;
                if (WriteMemberData(writer_, buffer.data(), count) != 0)
                    throw ToolError(output_ + ": cannot write member " + member.name);
                copied += count;
                progress.Advance(count);
            }
            if (in.bad()) throw ToolError(member.source.string() + ": read error");
        }
        if (copied != member.size)
            throw ToolError(member.source.string() + ": changed while the package was built");
        if (EndMember(writer_) != 0) throw ToolError(output_ + ": cannot write member " + member.name);
    }

    std::string output_;
    uint32_t volumeSize_;
    ArchiveWriter* writer_ = nullptr;
    bool done_ = false;
};

}  // namespace

std::string VolumeFile(const std::string& base, unsigned volume) {
    char path[PathBufferSize];
    VolumePath(base.c_str(), volume, path);
    return path;
}

void RemovePackageFiles(const std::string& output) {
    std::error_code error;
    fs::remove(output, error);
    for (unsigned volume = 1; volume <= ArchiveFormat::MaxVolumes; ++volume) {
        std::string file = VolumeFile(output, volume);
        if (file != output) fs::remove(file, error);
    }
}

unsigned WritePackage(const PackagePlan& plan, const WriteSettings& settings, Progress& progress) {
    CheckSettings(plan, settings);
    std::vector<char> module = ReadModule(settings.module);
    RemovePackageFiles(settings.output.string());
    if (settings.output.has_parent_path()) fs::create_directories(settings.output.parent_path());
    ArchiveOutput output(settings.output.string(), settings.volumeSize);
    unsigned volumes = output.Write(module, plan, progress);
    progress.Finish();
    return volumes;
}
