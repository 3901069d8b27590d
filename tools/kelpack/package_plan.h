// What a package will hold, worked out from a project before anything is written: the members in their
// fixed order with their times and versions, and every problem found on the way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/format.h"
#include "tools/kelpack/diagnostics.h"
#include "tools/kelpack/project.h"

struct PlannedMember {
    std::string name;
    std::filesystem::path source;  // empty for a folder member
    uint64_t size = 0;
    uint32_t dosDateTime = 0;  // 0 for the leading members and folders: they are not installed as files
    uint32_t versionHigh = ArchiveFormat::NoVersion, versionLow = ArchiveFormat::NoVersion;
};

struct PackagePlan {
    std::vector<PlannedMember> members;
    std::vector<Diagnostic> diagnostics;
    uint64_t payloadBytes = 0;  // uncompressed size of the Src and Misc members
};

// Member order: KPII, KPWB, KPLI when [Info] LicenseInfo is set, KPPI when [Info] PreInfo is set, the
// source folder's members sorted by name, Misc1..MiscN. Never throws for faults in the project; they
// are diagnostics (errors mean the package must not be written).
PackagePlan PlanPackage(const Project& project);
