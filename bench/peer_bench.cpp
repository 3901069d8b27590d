// The side-by-side benchmark under Wine: for each size, our package and the peer's installer of the same
// files (bench_package --peer, built by makensis) are installed silently into fresh folders of this
// prefix and uninstalled silently, RUNS times each, alternating which goes first; the inflate-only
// baseline writes the same files beside them. Every run must end with 0, and every install must leave
// exactly the baseline's files and bytes; every uninstall must leave nothing of them. Prints the medians
// with their spread, the ratios ours / peer, and the time per added file between the sizes.
// Usage: peer_bench RUNS PACKAGE PEER_INSTALLER [PACKAGE PEER_INSTALLER]... (host paths)
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "tools/ui_driver/ui_driver.h"

namespace {

constexpr DWORD LongestRun = 30 * 60000;
constexpr char UninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char Root[] = "C:\\Bench";

struct Times {
    std::vector<double> runs;
    double Median() const {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        const size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }
    double Least() const { return *std::min_element(runs.begin(), runs.end()); }
    double Most() const { return *std::max_element(runs.begin(), runs.end()); }
};

struct Size {
    std::string name;  // of the package file, without .exe
    std::string package, peer;
    Tally tally;  // the baseline's files
    Times install, peerInstall, baseline, uninstall, peerUninstall;
};

bool Fail(const Size& size, const std::string& what) {
    fprintf(stderr, "peer_bench: %s: %s\n", size.name.c_str(), what.c_str());
    return false;
}

// Runs the command line to its end and adds its time; false unless it ended with 0.
bool Timed(const std::string& commandLine, Times* times) {
    const double start = Now();
    ui::Process run;
    if (!run.StartCommandLine(commandLine)) return false;
    if (!run.WaitForExit(LongestRun)) {
        run.Kill();
        return false;
    }
    times->runs.push_back(Now() - start);
    return run.ExitCode() == 0;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string RegistryText(const std::string& key, const char* name) {
    char text[1024] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, (UninstallList + key).c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS)
        return "";
    return text;
}

bool EntryLeft(const std::string& title) {
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (UninstallList + title).c_str(), 0, KEY_READ, &entry) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(entry);
    return true;
}

bool Baseline(Size* size, int run) {
    const std::string folder = std::string(Root) + "\\baseline-" + size->name + "-" + std::to_string(run);
    const std::string program = ui::BesideThisProgram("inflate_baseline.exe");
    if (!Timed(Quoted(program) + " " + Quoted(size->package) + " " + Quoted(folder), &size->baseline))
        return Fail(*size, "the baseline run failed");
    size->tally = Count(folder);
    RemoveTree(folder);
    return size->tally.files > 0 || Fail(*size, "the baseline wrote no files");
}

bool Ours(Size* size, int run) {
    const std::string folder = std::string(Root) + "\\kelpack-" + size->name + "-" + std::to_string(run);
    const std::string title = "Kelpack benchmark " + size->name;
    if (!Timed(Quoted(size->package) + " /S /D=" + folder, &size->install))
        return Fail(*size, "our silent install failed");
    const std::string uninstall = RegistryText(title, "QuietUninstallString");
    if (uninstall.empty()) return Fail(*size, "our install left no quiet uninstall command");
    // The uninstall information file, /U="...\NAME", lies in the install folder among the files.
    const std::string info = uninstall.substr(uninstall.find_last_of('\\') + 1);
    if (Count(folder, info.substr(0, info.size() - 1)) != size->tally)
        return Fail(*size, "our install left other files than the baseline's");
    if (!Timed(uninstall, &size->uninstall)) return Fail(*size, "our silent uninstall failed");
    if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES || EntryLeft(title))
        return Fail(*size, "our uninstall left the folder or the entry");
    return true;
}

bool Peer(Size* size, int run) {
    const std::string folder = std::string(Root) + "\\nsis-" + size->name + "-" + std::to_string(run);
    const std::string title = "NSIS benchmark " + size->name;
    // /D= must come last and is never quoted.
    if (!Timed(Quoted(size->peer) + " /S /D=" + folder, &size->peerInstall))
        return Fail(*size, "the peer's silent install failed");
    if (Count(folder, "uninstall.exe") != size->tally)
        return Fail(*size, "the peer's install left other files than the baseline's");
    // _?= runs the uninstaller in place, so that it ends only when it is done; it cannot delete itself.
    const std::string uninstaller = folder + "\\uninstall.exe";
    if (!Timed(Quoted(uninstaller) + " /S _?=" + folder, &size->peerUninstall))
        return Fail(*size, "the peer's silent uninstall failed");
    if (Count(folder).files != 1 || EntryLeft(title)) return Fail(*size, "the peer's uninstall left files");
    DeleteFileA(uninstaller.c_str());
    RemoveDirectoryA(folder.c_str());
    return true;
}

double PerFile(const Times& times, const Size& size) { return times.Median() / size.tally.files * 1000; }

// Milliseconds per file added between two sizes, on the medians.
double Added(const Times Size::*times, const Size& from, const Size& to) {
    return ((to.*times).Median() - (from.*times).Median()) / (to.tally.files - from.tally.files) * 1000;
}

void PrintTimes(const Times& times) {
    printf(" %7.2f (%5.2f-%5.2f)", times.Median(), times.Least(), times.Most());
}

void PrintTable(const char* heading, const std::vector<Size>& sizes, const Times Size::*ours,
                const Times Size::*peer, bool withBaseline) {
    printf("\n%s, whole process, median of %zu runs (least-most), seconds:\n", heading,
           sizes[0].install.runs.size());
    printf("%-12s %6s %21s %21s %s%13s\n", "package", "files", "Kelpack", "NSIS",
           withBaseline ? "             baseline" : "", "Kelpack/NSIS");
    for (const Size& size : sizes) {
        printf("%-12s %6ld", size.name.c_str(), size.tally.files);
        PrintTimes(size.*ours);
        PrintTimes(size.*peer);
        if (withBaseline) PrintTimes(size.baseline);
        printf(" %13.2f\n", (size.*ours).Median() / (size.*peer).Median());
    }
    printf("%-12s %6s %21s %21s %s%13s\n", "ms a file", "", "Kelpack", "NSIS",
           withBaseline ? "             baseline" : "", "Kelpack/NSIS");
    for (size_t i = 0; i < sizes.size(); ++i) {
        const Size& size = sizes[i];
        printf("%-12s %6ld %21.3f %21.3f", size.name.c_str(), size.tally.files, PerFile(size.*ours, size),
               PerFile(size.*peer, size));
        if (withBaseline) printf(" %21.3f", PerFile(size.baseline, size));
        printf(" %13.2f\n", PerFile(size.*ours, size) / PerFile(size.*peer, size));
    }
    for (size_t i = 1; i < sizes.size(); ++i) {
        const Size &from = sizes[i - 1], &to = sizes[i];
        const double added = Added(ours, from, to), peerAdded = Added(peer, from, to);
        printf("per added file from %ld to %ld: Kelpack %.3f ms, NSIS %.3f ms", from.tally.files,
               to.tally.files, added, peerAdded);
        if (withBaseline) printf(", baseline %.3f ms", Added(&Size::baseline, from, to));
        printf(", Kelpack/NSIS %.2f\n", added / peerAdded);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 0;
    if (runs < 1 || argc < 4 || argc % 2 != 0) {
        fprintf(stderr, "usage: peer_bench RUNS PACKAGE PEER_INSTALLER [PACKAGE PEER_INSTALLER]...\n");
        return 2;
    }
    std::vector<Size> sizes;
    for (int i = 2; i + 1 < argc; i += 2) {
        Size size;
        size.package = ui::WinePathOf(argv[i]);
        size.peer = ui::WinePathOf(argv[i + 1]);
        const std::string file = size.package.substr(size.package.find_last_of('\\') + 1);
        size.name = file.substr(0, file.find('.'));
        sizes.push_back(size);
    }
    CreateDirectoryA(Root, nullptr);
    for (int run = 0; run < runs; ++run) {
        for (Size& size : sizes) {
            const bool oursFirst = run % 2 == 0;
            if (!Baseline(&size, run) || !(oursFirst ? Ours(&size, run) : Peer(&size, run)) ||
                !(oursFirst ? Peer(&size, run) : Ours(&size, run)))
                return 1;
            printf(
                "run %d %-12s install %.2f s, NSIS %.2f s, baseline %.2f s; uninstall %.2f s, NSIS %.2f s\n",
                run + 1, size.name.c_str(), size.install.runs.back(), size.peerInstall.runs.back(),
                size.baseline.runs.back(), size.uninstall.runs.back(), size.peerUninstall.runs.back());
            fflush(stdout);
        }
    }
    PrintTable("Silent install", sizes, &Size::install, &Size::peerInstall, true);
    PrintTable("Silent uninstall", sizes, &Size::uninstall, &Size::peerUninstall, false);
    return 0;
}
