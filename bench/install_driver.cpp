// The install benchmark under Wine: runs each package as a user does (welcome page Next, install folder
// page Install into the proposed folder, the finish page answered if it comes) and times it from the
// start to the end of the install run; then times the baseline program inflating the same members to
// disk, started the same way from this program. Both outputs must hold the same files and bytes. Then
// uninstalls the package the way the list of installed programs does and times the removal; nothing of
// the installation may be left. Prints per package the times, the ratio install/baseline and the time
// per file; the first package is the large one, the others form the series that shows how the time
// grows with the number of files.
// Usage: install_driver PACKAGE... (host paths)
#include <stdio.h>
#include <windows.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr DWORD Patience = 30000;         // a first start of Wine's user interface can be slow
constexpr DWORD LongestRun = 30 * 60000;  // one install, baseline or uninstall run
constexpr char UninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Result {
    std::string name;
    Tally tally;
    double install = 0;    // start of the package to the end of the install run
    double filePhase = 0;  // Install pressed to the end of the install run
    double baseline = 0;   // start to end of the baseline program
    double uninstall = 0;  // Yes on the confirmation to the uninstall dialog offering Ok
};

double UninstallMsPerFile(const Result& r) { return r.uninstall / r.tally.files * 1000; }

// The package's [General] Title: bench_package names it after the package file.
std::string TitleOf(const std::string& name) { return "Kelpack benchmark " + name.substr(0, name.find('.')); }

bool Fail(const std::string& what, const std::string& package) {
    fprintf(stderr, "install_driver: %s: %s\n", package.c_str(), what.c_str());
    return false;
}

// True, after capturing and reporting it, when the run (of this kind: install, uninstall) shows a
// message box or asks its question about a file (the dialog with control question); either would stop
// the run until answered.
bool Interrupted(const ui::Process& run, const std::string& kind, int question, const std::string& package) {
    if (HWND box = ui::WaitForMessageBox(run.Id(), 0)) {
        ui::CaptureScreen(box, "bench-message");
        fprintf(stderr, "install_driver: message: %s\n", ui::MessageBoxText(box).c_str());
        return !Fail("the " + kind + " run showed a message", package);
    }
    if (HWND dialog = ui::WaitForDialogWithControl(run.Id(), question, 0)) {
        ui::CaptureScreen(dialog, "bench-question");
        return !Fail("the " + kind + " run asked a question about a file", package);
    }
    return false;
}

// Waits for the end of the run, answering the finish page; a message box, a question or a time-out is a
// failure.
bool WaitForTheEnd(ui::Process& run, const std::string& package) {
    const DWORD start = GetTickCount();
    bool finished = false;
    while (!run.WaitForExit(100)) {
        if (GetTickCount() - start > LongestRun) return Fail("the install run did not end", package);
        if (Interrupted(run, "install", IDC_NO_MORE_CONFIRMATION, package)) return false;
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

// The uninstall entry's command, split the way the system starts it.
struct UninstallCommand {
    std::string program;    // inside the leading quotes
    std::string arguments;  // -U and the uninstall information file
    std::string InfoName() const { return arguments.substr(arguments.find_last_of('\\') + 1); }
};

bool ReadUninstallCommand(const std::string& title, UninstallCommand* command) {
    char text[1024] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, (UninstallList + title).c_str(), "UninstallString", RRF_RT_REG_SZ,
                     nullptr, text, &size) != ERROR_SUCCESS)
        return false;
    const std::string line = text;
    const size_t end = line.find('"', 1);
    if (line.empty() || line[0] != '"' || end == std::string::npos || line.compare(end + 1, 3, " -U") != 0)
        return false;
    command->program = line.substr(1, end - 1);
    command->arguments = line.substr(end + 2);
    return true;
}

// Fails with what, or with the message box or question of the uninstall run that explains it.
bool UninstallFailed(const ui::Process& run, const std::string& what, const std::string& package) {
    if (!Interrupted(run, "uninstall", IDC_DELETE_QUESTION, package)) Fail(what, package);
    return false;
}

// Answers Yes to the confirmation of the uninstall run; any other box is a failure.
bool Confirm(const ui::Process& run, const std::string& title, const std::string& package) {
    HWND box = ui::WaitForMessageBox(run.Id(), Patience);
    if (!box) return Fail("the uninstall run asked for no confirmation", package);
    if (ui::MessageBoxText(box) !=
        "This will uninstall " + title + " from your computer.\n\nContinue uninstallation?")
        return UninstallFailed(run, "the uninstall run showed an unexpected message", package);
    return ui::ClickButton(box, IDYES) || Fail("the confirmation took no answer", package);
}

// Waits until the uninstall dialog's button offers Ok, the end of the removal; a message box, the delete
// question, the end of the run or a time-out is a failure.
bool WaitForOk(ui::Process& run, HWND dialog, const std::string& package) {
    const DWORD start = GetTickCount();
    while (ui::WindowText(GetDlgItem(dialog, IDC_UNINSTALL_BUTTON)) != "Ok") {
        if (Interrupted(run, "uninstall", IDC_DELETE_QUESTION, package)) return false;
        if (run.WaitForExit(20)) return Fail("the uninstall run ended before it completed", package);
        if (GetTickCount() - start > LongestRun) return Fail("the uninstall run did not complete", package);
    }
    return true;
}

// From Yes on the confirmation to Ok on the dialog, then closes the dialog; the run must end with 0.
bool TimeUninstall(ui::Process& run, const std::string& title, const std::string& package, Result* result) {
    if (!Confirm(run, title, package)) return false;
    const double start = Now();
    HWND dialog = ui::WaitForDialogWithControl(run.Id(), IDC_UNINSTALL_HEADING, Patience);
    if (!dialog) return UninstallFailed(run, "no uninstall dialog", package);
    if (!WaitForOk(run, dialog, package)) return false;
    result->uninstall = Now() - start;
    ui::ClickButton(dialog, IDC_UNINSTALL_BUTTON);
    if (!run.WaitForExit(Patience)) return UninstallFailed(run, "the uninstall run did not end", package);
    return run.ExitCode() == 0 || Fail("the uninstall run failed", package);
}

// Uninstalls as the list of installed programs does: starts the entry's command, confirms, and times
// the removal. Afterwards neither the install folder nor the entry may be left.
bool Uninstall(const std::string& title, const UninstallCommand& command, const std::string& folder,
               const std::string& package, Result* result) {
    ui::Process run;
    if (!run.Start(command.program, command.arguments))
        return Fail("the uninstall run did not start", package);
    if (!TimeUninstall(run, title, package, result)) {
        run.Kill();
        return false;
    }
    const Tally left = Count(folder);
    if (left.files != 0 || GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return Fail("the install folder is left, with " + std::to_string(left.files) + " files", package);
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (UninstallList + title).c_str(), 0, KEY_READ, &entry) ==
        ERROR_SUCCESS) {
        RegCloseKey(entry);
        return Fail("the uninstall entry is left", package);
    }
    return true;
}

// The installed files, less the uninstall information file, against the baseline's.
bool Compare(const std::string& installed, const std::string& inflated, const std::string& infoName,
             Result* result) {
    result->tally = Count(installed, infoName);
    const Tally ofBaseline = Count(inflated);
    if (result->tally.files != 0 && result->tally == ofBaseline) return true;
    fprintf(stderr, "install_driver: %s: installed %ld files (%llu bytes), the baseline %ld (%llu)\n",
            result->name.c_str(), result->tally.files, result->tally.bytes, ofBaseline.files,
            ofBaseline.bytes);
    return false;
}

bool Measure(const std::string& hostPath, Result* result) {
    const std::string package = ui::WinePathOf(hostPath);
    result->name = package.substr(package.find_last_of('\\') + 1);
    const std::string title = TitleOf(result->name);
    std::string installed;
    if (!Install(package, result, &installed)) return false;
    CreateDirectoryA("C:\\kelpack-baseline", nullptr);
    const std::string inflated = "C:\\kelpack-baseline\\" + result->name;
    if (!Baseline(package, inflated, result)) return false;
    UninstallCommand command;
    if (!ReadUninstallCommand(title, &command)) return Fail("no uninstall entry with a command", package);
    if (!Compare(installed, inflated, command.InfoName(), result)) return false;
    printf("%-16s %7ld files %8.1f MB  install %8.2f s (files %8.2f s)  baseline %8.2f s  ratio %5.2f\n",
           result->name.c_str(), result->tally.files, result->tally.bytes / 1048576.0, result->install,
           result->filePhase, result->baseline, result->install / result->baseline);
    fflush(stdout);
    if (!Uninstall(title, command, installed, package, result)) return false;
    printf("%-16s %7ld files  uninstall %8.2f s  %8.3f ms a file\n", result->name.c_str(),
           result->tally.files, result->uninstall, UninstallMsPerFile(*result));
    fflush(stdout);
    return true;
}

// Per package the uninstall time and time per file; for the small packages how the time per file grows
// with their number, as for the installs.
void PrintUninstallTables(const std::vector<Result>& results) {
    printf("\nUninstall, from Yes on the confirmation to Ok on the dialog (fixed pauses included):\n");
    printf("%-16s %8s %12s %10s\n", "package", "files", "uninstall s", "ms a file");
    for (const Result& r : results)
        printf("%-16s %8ld %12.2f %10.3f\n", r.name.c_str(), r.tally.files, r.uninstall,
               UninstallMsPerFile(r));
    if (results.size() <= 2) return;

    printf("\nUninstall time per file as the number of files grows:\n");
    printf("%-16s %7s %13s %7s %11s\n", "package", "files", "uninstall ms", "growth", "added ms");
    const Result& first = results[1];
    for (size_t i = 1; i < results.size(); ++i) {
        const Result& r = results[i];
        printf("%-16s %7ld %13.3f %6.2fx", r.name.c_str(), r.tally.files, UninstallMsPerFile(r),
               UninstallMsPerFile(r) / UninstallMsPerFile(first));
        const Result& before = results[i - 1];
        const long added = r.tally.files - before.tally.files;
        if (i > 1 && added > 0)
            printf(" %11.3f\n", (r.uninstall - before.uninstall) / added * 1000);
        else
            printf(" %11s\n", "-");
    }
    const Result& last = results.back();
    printf("From %ld to %ld files the uninstall time per file grew by %.1f %%.\n", first.tally.files,
           last.tally.files, (UninstallMsPerFile(last) / UninstallMsPerFile(first) - 1) * 100);
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
    PrintUninstallTables(results);
    return 0;
}
