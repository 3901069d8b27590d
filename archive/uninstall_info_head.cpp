// Writing and checking the head of the uninstall information file.
#include "archive/uninstall_info_head.h"

#include <string.h>

#include "archive/format.h"
#include "common/strings.h"

using namespace ArchiveFormat;

void FillUninstallHead(unsigned char* head, const char* title, int language) {
    memset(head, 0, UninstallArchiveOffset);
    memcpy(head, UninstallSignature, UninstallSignatureSize);
    CopyBounded(UninstallTitleSize, reinterpret_cast<char*>(head + UninstallTitleOffset), title);
    head[UninstallLanguageOffset] = language != 0 ? 1 : 0;
}

UninstallHeadResult ParseUninstallHead(const unsigned char* bytes, uint32_t length, char* title,
                                       int* language) {
    if (length < UninstallArchiveOffset) return UninstallHeadTooShort;
    if (memcmp(bytes, UninstallSignature, UninstallSignatureSize) != 0) return UninstallHeadWrongSignature;
    // The stored title need not be terminated: it is copied with a bound, never read past its field.
    const char* stored = reinterpret_cast<const char*>(bytes + UninstallTitleOffset);
    size_t size = 0;
    while (size < UninstallTitleSize - 1 && stored[size] != 0) ++size;
    memcpy(title, stored, size);
    title[size] = 0;
    *language = bytes[UninstallLanguageOffset];
    return UninstallHeadOk;
}
