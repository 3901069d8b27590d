// PE image reader: DOS header, PE headers and data directories; the section table, resource directory
// and VS_VERSIONINFO for the version; the certificate table of a signed image.
#include "tools/kelpack/pe_version.h"

#include <fstream>
#include <optional>
#include <vector>

namespace {

constexpr uint32_t ResourceDirectoryIndex = 2;
constexpr uint32_t CertificateDirectoryIndex = 4;
constexpr uint32_t VersionResourceType = 16;  // RT_VERSION
constexpr uint32_t FixedFileInfoSignature = 0xFEEF04BD;
constexpr uint32_t SubdirectoryFlag = 0x80000000;

// Bounded little-endian reads at file offsets; every failure is "no version".
class ImageFile {
  public:
    explicit ImageFile(const std::string& path) : in_(path, std::ios::binary) {}
    bool Read(uint64_t offset, void* out, size_t count) {
        if (!in_) return false;
        in_.seekg(std::streamoff(offset));
        in_.read(static_cast<char*>(out), std::streamsize(count));
        bool ok = in_.gcount() == std::streamsize(count);
        in_.clear();
        return ok;
    }
    std::optional<uint32_t> U32(uint64_t offset) {
        unsigned char b[4];
        if (!Read(offset, b, 4)) return std::nullopt;
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    std::optional<uint16_t> U16(uint64_t offset) {
        unsigned char b[2];
        if (!Read(offset, b, 2)) return std::nullopt;
        return uint16_t(b[0] | b[1] << 8);
    }

  private:
    std::ifstream in_;
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

std::optional<uint64_t> FileOffsetOf(const std::vector<Section>& sections, uint32_t rva) {
    for (const Section& s : sections) {
        uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && uint64_t(rva) < uint64_t(s.virtualAddress) + extent) {
            uint32_t into = rva - s.virtualAddress;
            if (into >= s.rawSize) return std::nullopt;  // in memory only, nothing in the file
            return uint64_t(s.rawOffset) + into;
        }
    }
    return std::nullopt;
}

// The offset to the data of the first entry of a resource directory whose id is wanted (any when
// wanted is empty); the flag bit is kept so that the caller knows whether it is a subdirectory.
std::optional<uint32_t> FindEntry(ImageFile& image, uint64_t directory, std::optional<uint32_t> wanted) {
    auto named = image.U16(directory + 12);
    auto ids = image.U16(directory + 14);
    if (!named || !ids) return std::nullopt;
    uint64_t entry = directory + 16;
    for (uint32_t i = 0; i < uint32_t(*named) + *ids; ++i, entry += 8) {
        auto id = image.U32(entry);
        auto data = image.U32(entry + 4);
        if (!id || !data) return std::nullopt;
        if (!wanted || (*id == *wanted && i >= *named)) return *data;
    }
    return std::nullopt;
}

// Where the PE headers are: the optional header, its size and the section count.
struct Headers {
    uint64_t optional = 0;
    uint16_t optionalSize = 0, sectionCount = 0;
};

std::optional<Headers> ReadHeaders(ImageFile& image) {
    auto mz = image.U16(0);
    auto peOffset = image.U32(0x3C);
    if (!mz || *mz != 0x5A4D || !peOffset) return std::nullopt;
    auto signature = image.U32(*peOffset);
    if (!signature || *signature != 0x00004550) return std::nullopt;
    uint64_t fileHeader = uint64_t(*peOffset) + 4;
    auto sectionCount = image.U16(fileHeader + 2);
    auto optionalSize = image.U16(fileHeader + 16);
    if (!sectionCount || !optionalSize) return std::nullopt;
    return Headers{fileHeader + 20, *optionalSize, *sectionCount};
}

// Entry index of the data directories: its address (an RVA, a file offset for the certificate table)
// and size.
std::optional<std::pair<uint32_t, uint32_t>> DataDirectory(ImageFile& image, const Headers& headers,
                                                           uint32_t index) {
    auto magic = image.U16(headers.optional);
    if (!magic || (*magic != 0x10B && *magic != 0x20B)) return std::nullopt;
    uint64_t directories = headers.optional + (*magic == 0x10B ? 96 : 112);
    auto directoryCount = image.U32(directories - 4);
    if (!directoryCount || *directoryCount <= index) return std::nullopt;
    if (directories + 8 * (index + 1) > headers.optional + headers.optionalSize) return std::nullopt;
    auto address = image.U32(directories + 8 * index), size = image.U32(directories + 8 * index + 4);
    if (!address || !size) return std::nullopt;
    return std::make_pair(*address, *size);
}

std::optional<FileVersion> ReadVersion(ImageFile& image) {
    auto headers = ReadHeaders(image);
    if (!headers) return std::nullopt;
    auto resource = DataDirectory(image, *headers, ResourceDirectoryIndex);
    if (!resource || resource->first == 0) return std::nullopt;
    const uint32_t resourceRva = resource->first;

    std::vector<Section> sections;
    uint64_t table = headers->optional + headers->optionalSize;
    for (uint32_t i = 0; i < headers->sectionCount; ++i) {
        uint64_t at = table + 40 * uint64_t(i);
        auto size = image.U32(at + 8), address = image.U32(at + 12), rawSize = image.U32(at + 16),
             rawOffset = image.U32(at + 20);
        if (!size || !address || !rawSize || !rawOffset) return std::nullopt;
        sections.push_back({*address, *size, *rawOffset, *rawSize});
    }
    auto root = FileOffsetOf(sections, resourceRva);
    if (!root) return std::nullopt;

    // Type 16, then the first name and the first language, as the version API finds it.
    auto types = FindEntry(image, *root, VersionResourceType);
    if (!types || !(*types & SubdirectoryFlag)) return std::nullopt;
    auto names = FindEntry(image, *root + (*types & ~SubdirectoryFlag), std::nullopt);
    if (!names || !(*names & SubdirectoryFlag)) return std::nullopt;
    auto language = FindEntry(image, *root + (*names & ~SubdirectoryFlag), std::nullopt);
    if (!language || (*language & SubdirectoryFlag)) return std::nullopt;
    auto dataRva = image.U32(*root + *language);
    auto dataSize = image.U32(*root + *language + 4);
    if (!dataRva || !dataSize) return std::nullopt;
    auto data = FileOffsetOf(sections, *dataRva);
    if (!data) return std::nullopt;

    // VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO" in UTF-16, padding to 32 bits,
    // then VS_FIXEDFILEINFO.
    static const char key[] = "VS_VERSION_INFO";
    auto valueLength = image.U16(*data + 2);
    if (!valueLength || *valueLength < 52) return std::nullopt;
    for (size_t i = 0; i < sizeof key; ++i) {
        auto c = image.U16(*data + 6 + 2 * i);
        if (!c || *c != uint16_t(key[i])) return std::nullopt;
    }
    uint64_t fixed = *data + ((6 + 2 * sizeof key + 3) & ~uint64_t(3));
    if (fixed + 52 > *data + *dataSize) return std::nullopt;
    auto fixedSignature = image.U32(fixed);
    auto high = image.U32(fixed + 8);
    auto low = image.U32(fixed + 12);
    if (!fixedSignature || *fixedSignature != FixedFileInfoSignature || !high || !low) return std::nullopt;
    return FileVersion{*high, *low};
}

}  // namespace

FileVersion ReadFileVersion(const std::string& path) {
    ImageFile image(path);
    return ReadVersion(image).value_or(FileVersion{});
}

std::string FormatVersion(uint32_t high, uint32_t low) {
    if (high == 0xFFFFFFFF || low == 0xFFFFFFFF) return "-";
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
           std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
}

std::optional<CertificateTable> ReadCertificateTable(const std::string& path) {
    ImageFile image(path);
    auto headers = ReadHeaders(image);
    if (!headers) return std::nullopt;
    auto table = DataDirectory(image, *headers, CertificateDirectoryIndex);
    if (!table || table->first == 0 || table->second == 0) return std::nullopt;
    return CertificateTable{table->first, table->second};
}
