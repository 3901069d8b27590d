// Layout of a package: the module image, padded to ModuleSize bytes, followed by the package archive.
#pragma once

// Size of the module image. A package's archive starts at this offset, the module copy is this many bytes
// of the package, and a file of exactly this size is the bare module. (Read by the build, keep the form.)
constexpr unsigned long ModuleSize = 262144;
