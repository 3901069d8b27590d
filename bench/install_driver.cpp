// The install benchmark under Wine: runs each package as a user does (welcome page Next, install folder
// page Install into the proposed folder, the finish page answered if it comes) and times it from the
// start to the end of the install run; then times the baseline program inflating the same members to
// disk, started the same way from this program. Both outputs must hold the same files and bytes.
// Prints per package the times, the ratio install/baseline and the time per file; the first package
// is the large one, the others form the series that shows how the time grows with the number of files.
// Usage: install_driver PACKAGE... (host paths)
#include <stdio.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr DWORD Patience = 30000;         // a first start of Wine's user interface can be slow
constexpr DWORD LongestRun = 30 * 60000;  // one install or baseline run

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Tally {
    long files = 0;
    unsigned long long bytes = 0;
    bool operator==(const Tally&) const = default;
};

void Count(const std::string& folder, Tally* tally) {
    ui::ForEachEntry(folder, true, [tally](const std::string&, const WIN32_FIND_DATAA& found) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
        ++tally->files;
        tally->bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    });
}

struct Result {
    std::string name;
    Tally tally;
    double install = 0;    // start of the package to the end of the install run
    double filePhase = 0;  // Install pressed to the end of the install run
    double baseline = 0;   // start to end of the baseline program
};

bool Fail(const char* what, const std::string& package) {
    fprintf(stderr, "install_driver: %s: %s\n", package.c_str(), what);
    return false;
}

// Waits for the end of the run, answering the finish page; a message box or a time-out is a failure.
bool WaitForTheEnd(ui::Process& run, const std::string& package) {
    const DWORD start = GetTickCount();
    bool finished = false;
    while (!run.WaitForExit(100)) {
        if (GetTickCount() - start > LongestRun) return Fail("the install run did not end", package);
        if (HWND box = ui::WaitForMessageBox(run.Id(), 0)) {
            ui::CaptureScreen(box, "bench-message");
            fprintf(stderr, "install_driver: message: %s\n", ui::MessageBoxText(box).c_str());
            return Fail("the install run showed a message", package);
        }
        if (HWND question = ui::WaitForDialogWithControl(run.Id(), IDC_NO_MORE_CONFIRMATION, 0)) {
            ui::CaptureScreen(question, "bench-question");
            return Fail("the install run asked whether to replace a file", package);
        }
        if (!finished) {
            if (HWND finish = ui::WaitForDialogWithControl(run.Id(), IDC_COMPLETED, 0)) {
                ui::ClickButton(finish, IDC_OK);
                finished = true;
            }
        }
    }
    return run.ExitCode() == 0 || Fail("the install run failed", package);
}

bool Install(const std::string& package, Result* result, std::string* folder) {
    const double start = Now();
    ui::Process bootstrap;
    if (!bootstrap.Start(package, "") || !bootstrap.WaitForExit(Patience) || bootstrap.ExitCode() != 0)
        return Fail("the package did not start", package);
    ui::Process run;
    if (!run.Attach(ui::WaitForProcessNamed("KPinst27.exe", Patience)))
        return Fail("no install run appeared", package);
    HWND welcome = ui::WaitForDialogWithControl(run.Id(), IDC_WELCOME_TITLE, Patience);
    if (!welcome) return Fail("no welcome page", package);
    ui::ClickButton(welcome, IDC_NEXT);
    HWND page = ui::WaitForDialogWithControl(run.Id(), IDC_FOLDER_EDIT, Patience);
    if (!page) return Fail("no install folder page", package);
    *folder = ui::WindowText(GetDlgItem(page, IDC_FOLDER_EDIT));
    // Installing over files already there measures another thing: each package once per prefix.
    if (GetFileAttributesA(folder->c_str()) != INVALID_FILE_ATTRIBUTES) {
        run.Kill();
        return Fail("its install folder exists already", package);
    }
    const double install = Now();
    ui::ClickButton(page, IDC_INSTALL);
    if (!WaitForTheEnd(run, package)) {
        run.Kill();
        return false;
    }
    const double end = Now();
    result->install = end - start;
    result->filePhase = end - install;
    return true;
}

bool Baseline(const std::string& package, const std::string& folder, Result* result) {
    const std::string program = ui::BesideThisProgram("inflate_baseline.exe");
    const double start = Now();
    ui::Process baseline;
    if (!baseline.Start(program, "\"" + package + "\" \"" + folder + "\""))
        return Fail("the baseline program did not start", package);
    if (!baseline.WaitForExit(LongestRun) || baseline.ExitCode() != 0) {
        baseline.Kill();
        return Fail("the baseline run failed", package);
    }
    result->baseline = Now() - start;
    return true;
}

bool Measure(const std::string& hostPath, Result* result) {
    const std::string package = ui::WinePathOf(hostPath);
    result->name = package.substr(package.find_last_of('\\') + 1);
    std::string installed;
    if (!Install(package, result, &installed)) return false;
    CreateDirectoryA("C:\\kelpack-baseline", nullptr);
    const std::string inflated = "C:\\kelpack-baseline\\" + result->name;
    if (!Baseline(package, inflated, result)) return false;

    Tally ofBaseline;
    Count(installed, &result->tally);
    Count(inflated, &ofBaseline);
    if (result->tally.files == 0 || !(result->tally == ofBaseline)) {
        fprintf(stderr, "install_driver: %s: installed %ld files (%llu bytes), the baseline %ld (%llu)\n",
                result->name.c_str(), result->tally.files, result->tally.bytes, ofBaseline.files,
                ofBaseline.bytes);
        return false;
    }
    printf("%-16s %7ld files %8.1f MB  install %8.2f s (files %8.2f s)  baseline %8.2f s  ratio %5.2f\n",
           result->name.c_str(), result->tally.files, result->tally.bytes / 1048576.0, result->install,
           result->filePhase, result->baseline, result->install / result->baseline);
    fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: install_driver PACKAGE...\n");
        return 2;
    }
    std::vector<Result> results;
    for (int i = 1; i < argc; ++i) {
        Result result;
        if (!Measure(argv[i], &result)) return 1;
        results.push_back(result);
    }

    printf("\nInstall against baseline (both under Wine, the same prefix, started from one program):\n");
    printf("%-16s %8s %9s %11s %10s %11s %8s\n", "package", "files", "MB", "install s", "files s",
           "baseline s", "ratio");
    for (const Result& r : results)
        printf("%-16s %8ld %9.1f %11.2f %10.2f %11.2f %8.2f\n", r.name.c_str(), r.tally.files,
               r.tally.bytes / 1048576.0, r.install, r.filePhase, r.baseline, r.install / r.baseline);

    if (results.size() > 2) {
        // The time per file includes the fixed cost of a run (start-up, wizard, the steps after the
        // files); the time per added file, between one size and the next, leaves it out.
        printf("\nTime per file as the number of files grows (flat means linear, rising means worse):\n");
        printf("%-16s %7s %11s %7s %11s %11s %7s %11s\n", "package", "files", "install ms", "growth",
               "added ms", "baseline ms", "growth", "added ms");
        const Result& first = results[1];
        const double installFirst = first.install / first.tally.files;
        const double baselineFirst = first.baseline / first.tally.files;
        for (size_t i = 1; i < results.size(); ++i) {
            const Result& r = results[i];
            const double install = r.install / r.tally.files, baseline = r.baseline / r.tally.files;
            printf("%-16s %7ld %11.3f %6.2fx", r.name.c_str(), r.tally.files, install * 1000,
                   install / installFirst);
            const Result& before = results[i - 1];
            const long added = r.tally.files - before.tally.files;
            if (i > 1 && added > 0)
                printf(" %11.3f", (r.install - before.install) / added * 1000);
            else
                printf(" %11s", "-");
            printf(" %11.3f %6.2fx", baseline * 1000, baseline / baselineFirst);
            if (i > 1 && added > 0)
                printf(" %11.3f\n", (r.baseline - before.baseline) / added * 1000);
            else
                printf(" %11s\n", "-");
        }
    }
    return 0;
}
