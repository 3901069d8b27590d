// Writes a package for the install benchmark: the module, then an archive of install information that
// proposes an install folder and registers an uninstall entry named after the title (unknown files
// deleted without a question), a wizard bitmap and FILES source members in folders of 100, of sizes
// drawn around an average so that they add up to about MEGABYTES (or of 256 bytes to 4 KiB with
// --small). The payload is deterministic and mildly compressible: word text with runs of noise.
// With --peer DIR the same files (bytes and times) are also written below DIR/files, with DIR/peer.nsi,
// the script from which makensis builds the peer's installer of them (zlib, one stream per file, as
// ours): it installs them into the folder given with /D=, adds an uninstall entry and an uninstaller
// that deletes each file and folder it installed.
// Usage: bench_package OUTPUT MODULE BITMAP FILES (MEGABYTES | --small) [--peer DIR]
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/format.h"

namespace {

std::string FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Text made of a few words, with half of its 64-byte pieces replaced by noise.
std::string Payload(size_t size, std::mt19937& random) {
    static const char* const words[] = {"Setup ",   "install ", "{ProgramFiles}\\",
                                        "Kelpack ", "\r\n",     "value=1 "};
    std::string data;
    data.reserve(size + 64);
    while (data.size() < size) {
        const size_t end = data.size() + 64;
        if (random() % 2 == 0) {
            while (data.size() < end) data += static_cast<char>(random());
        } else {
            while (data.size() < end) data += words[random() % 6];
            data.resize(end);
        }
    }
    data.resize(size);
    return data;
}

bool Add(ArchiveWriter* writer, const std::string& name, const std::string& data, uint32_t dosDateTime) {
    return BeginMember(writer, name.c_str(), dosDateTime, 0xFFFFFFFF, 0xFFFFFFFF) == 0 &&
           (data.empty() || WriteMemberData(writer, data.data(), static_cast<uint32_t>(data.size())) == 0) &&
           EndMember(writer) == 0;
}

// 1 January 2026, 12:00 local time: a valid time, so that the install sets it on every file.
constexpr int Year = 2026, Hour = 12;

// The peer's copy of the files and the script that packs them.
class PeerTree {
  public:
    PeerTree(const std::string& folder, const std::string& name) : folder_(folder), name_(name) {
        std::filesystem::create_directories(folder + "/files");
    }

    bool Add(long number, const std::string& data) {
        char relative[64];
        snprintf(relative, sizeof relative, "dir%03ld", number / 100);
        if (number % 100 == 0) {
            std::filesystem::create_directories(folder_ + "/files/" + relative);
            folders_.push_back(relative);
        }
        char file[32];
        snprintf(file, sizeof file, "file%05ld.dat", number);
        files_.push_back(std::string(relative) + "\\" + file);
        const std::string path = folder_ + "/files/" + relative + "/" + file;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        struct tm local = {};
        local.tm_year = Year - 1900;
        local.tm_mday = 1;
        local.tm_hour = Hour;
        local.tm_isdst = -1;
        const struct utimbuf times = {mktime(&local), mktime(&local)};
        return out && utime(path.c_str(), &times) == 0;
    }

    bool WriteScript() const {
        const std::string title = "NSIS benchmark " + name_;
        const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
        std::ofstream nsi(folder_ + "/peer.nsi", std::ios::trunc);
        nsi << "Unicode true\nSetCompressor zlib\nName \"" << title << "\"\nOutFile \"" << name_
            << ".exe\"\nInstallDir \"$PROGRAMFILES\\NSIS Bench\\" << name_
            << "\"\nRequestExecutionLevel admin\n\nSection\n";
        for (const std::string& folder : folders_)
            nsi << "SetOutPath \"$INSTDIR\\" << folder << "\"\nFile \"files/" << folder << "/*.dat\"\n";
        nsi << "WriteUninstaller \"$INSTDIR\\uninstall.exe\"\nWriteRegStr HKLM \"" << entry
            << "\" DisplayName \"" << title << "\"\nWriteRegStr HKLM \"" << entry
            << "\" UninstallString \'\"$INSTDIR\\uninstall.exe\"\'\nSectionEnd\n\nSection Uninstall\n";
        for (const std::string& file : files_) nsi << "Delete \"$INSTDIR\\" << file << "\"\n";
        for (const std::string& folder : folders_) nsi << "RMDir \"$INSTDIR\\" << folder << "\"\n";
        nsi << "Delete \"$INSTDIR\\uninstall.exe\"\nDeleteRegKey HKLM \"" << entry
            << "\"\nRMDir \"$INSTDIR\"\nSectionEnd\n";
        return static_cast<bool>(nsi);
    }

  private:
    std::string folder_, name_;
    std::vector<std::string> folders_, files_;
};

}  // namespace

int main(int argc, char** argv) {
    const bool peer = argc == 8 && std::string(argv[6]) == "--peer";
    if (argc != 6 && !peer) {
        fprintf(stderr,
                "usage: bench_package OUTPUT MODULE BITMAP FILES (MEGABYTES | --small) [--peer DIR]\n");
        return 2;
    }
    const char* output = argv[1];
    const std::string module = FileBytes(argv[2]);
    const std::string bitmap = FileBytes(argv[3]);
    const long files = atol(argv[4]);
    const bool small = std::string(argv[5]) == "--small";
    const double megabytes = small ? 0 : atof(argv[5]);
    if (module.size() != ModuleSize || bitmap.empty() || files <= 0 || (!small && megabytes <= 0)) {
        fprintf(stderr, "bench_package: a module of %u bytes, a bitmap, files and a size are needed\n",
                static_cast<unsigned>(ModuleSize));
        return 2;
    }
    const size_t average = small ? 0 : static_cast<size_t>(megabytes * 1048576 / files);

    std::mt19937 random(static_cast<unsigned>(files) * 7919u + static_cast<unsigned>(average));
    std::vector<size_t> sizes(files);
    size_t total = 0;
    for (size_t& size : sizes) {
        size = small ? 256 + random() % 3841 : average / 2 + random() % (average + 1);
        total += size;
    }

    const std::string folder = std::string(output).substr(std::string(output).find_last_of('/') + 1);
    const std::string name = folder.substr(0, folder.find('.'));
    const std::string title = "Kelpack benchmark " + name;
    const std::string info = "[General]\r\nTitle=" + title +
                             "\r\nLanguage=1\r\nDefInstallFolder={ProgramFiles}\\Kelpack Bench\\" + name +
                             "\r\nSpaceNeeded=" + std::to_string(total) +
                             "\r\n[Uninstall]\r\nCPLUninstallName=" + title + "\r\nUninstallType=1\r\n";
    {
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(module.data(), static_cast<std::streamsize>(module.size()));
        if (!out) {
            fprintf(stderr, "bench_package: cannot write %s\n", output);
            return 1;
        }
    }
    ArchiveWriter* writer = CreateArchive(output, ModuleSize, ArchiveFormat::NotSplit);
    if (writer == nullptr) return 1;
    const uint32_t dosDateTime = ((Year - 1980u) << 25) | (1u << 21) | (1u << 16) | (Hour << 11);
    bool ok = Add(writer, "KPII", info, 0) && Add(writer, "KPWB", bitmap, 0);
    std::unique_ptr<PeerTree> tree(peer ? new PeerTree(argv[7], name) : nullptr);
    for (long i = 0; ok && i < files; ++i) {
        char member[64];
        snprintf(member, sizeof member, "Src\\dir%03ld\\file%05ld.dat", i / 100, i);
        const std::string data = Payload(sizes[i], random);
        ok = Add(writer, member, data, dosDateTime) && (!tree || tree->Add(i, data));
    }
    ok = FinishArchive(writer) == 0 && ok && (!tree || tree->WriteScript());
    if (!ok) {
        fprintf(stderr, "bench_package: writing %s failed\n", output);
        return 1;
    }
    printf("bench_package: %s: %ld files, %.1f MB\n", output, files, total / 1048576.0);
    return 0;
}
