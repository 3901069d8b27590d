// Writing a planned package: the module, then the archive, split over volume files when asked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "tools/kelpack/package_plan.h"
#include "tools/kelpack/progress.h"

struct WriteSettings {
    std::filesystem::path output;
    std::filesystem::path module;      // exactly ModuleSize bytes, an "MZ" image
    uint32_t volumeSize = 0xFFFFFFFF;  // NotSplit, or more than ModuleSize + 17
};

// The path of volume k of the package whose volume 0 is base (the archive layer's naming).
std::string VolumeFile(const std::string& base, unsigned volume);

// Removes the package and any volume files of an earlier build beside it (NAME.001 ... NAME.255).
void RemovePackageFiles(const std::string& output);

// Writes the package and returns its number of volumes. Volume files of an earlier build are removed
// first; on failure everything written is removed again and ToolError is thrown.
unsigned WritePackage(const PackagePlan& plan, const WriteSettings& settings, Progress& progress);
