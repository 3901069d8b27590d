// Names of the volume files of an archive.
#include "archive/format.h"
#include "common/paths.h"
#include "common/strings.h"

void VolumePath(const char* basePath, unsigned volume, char* out) {
    CopyBounded(PathBufferSize, out, basePath);
    Trim(out);
    if (volume == 0) return;
    // ".%03u" by hand: a printf would bring the runtime's whole formatter into the module.
    volume &= 0xFFu;
    const char extension[] = {'.', char('0' + volume / 100), char('0' + volume / 10 % 10),
                              char('0' + volume % 10), '\0'};
    ReplaceExtension(out, extension);
}
