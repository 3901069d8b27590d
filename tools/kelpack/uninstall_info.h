// Reading an uninstall information file: its head, then the archive behind it with the installation
// log, the file list and, when there is one, the wizard bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct UninstallInfo {
    std::string title;
    int language = 1;                // the stored byte: 0 Korean, anything else English
    std::string log;                 // KPUI: INI text in code page 949 or the ANSI code page
    std::vector<std::string> files;  // KPFL, in file order
    enum class Bitmap { None, Good, Damaged } bitmap = Bitmap::None;
    std::optional<uint32_t> bitmapSize;  // as its member header gives it, when that can be read
    std::vector<std::string> warnings;   // faults the uninstaller gets past
};

// True when the file starts with the uninstall information signature.
bool IsUninstallInfoFile(const std::string& path);

// Where the archive of a file starts unless told: behind the head of an uninstall information file,
// else behind the module.
uint32_t DefaultArchiveOffset(const std::string& path);

// The member expected at index (file order) of an uninstall information file's archive: KPUI, KPFL,
// KPWB; null past them.
const char* UninstallMemberAt(unsigned index);

// Appends the paths of a file list (KPFL) to paths; false when the last one runs past the end.
bool SplitFileList(const std::string& bytes, std::vector<std::string>* paths);

// Throws ToolError when the file is no uninstall information file (short, wrong signature), its archive
// is cut short or split, or its log or file list is missing or damaged. A damaged wizard bitmap and
// members that do not belong are warnings: the uninstaller goes on without them.
UninstallInfo ReadUninstallInfo(const std::string& path);
