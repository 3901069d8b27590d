// Names of the volume files of an archive.
#include <stdio.h>

#include "archive/format.h"
#include "common/paths.h"
#include "common/strings.h"

void VolumePath(const char* basePath, unsigned volume, char* out) {
    CopyBounded(PathBufferSize, out, basePath);
    Trim(out);
    if (volume == 0) return;
    char extension[8];
    snprintf(extension, sizeof extension, ArchiveFormat::VolumeExtensionFormat, volume & 0xFFu);
    ReplaceExtension(out, extension);
}
