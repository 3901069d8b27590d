// Parsing of volume sizes.
#include "tools/kelpack/volume_size.h"

#include <cctype>

#include "tools/kelpack/ini_file.h"
#include "tools/kelpack/tool_error.h"

uint32_t ParseVolumeSize(const std::string& text) {
    static const struct {
        const char* name;
        uint32_t bytes;
    } diskettes[] = {{"1.44M", 1457664}, {"1.2M", 1228800}, {"2.88M", 2949120}};
    for (const auto& d : diskettes)
        if (EqualsNoCase(text, d.name)) return d.bytes;

    uint64_t number = 0;
    size_t i = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        number = number * 10 + uint64_t(text[i] - '0');
        if (number > 0xFFFFFFFFull) break;
    }
    uint64_t unit = 1;
    if (i + 1 == text.size() && (text[i] == 'K' || text[i] == 'k')) unit = 1024, ++i;
    if (i + 1 == text.size() && (text[i] == 'M' || text[i] == 'm')) unit = 1024 * 1024, ++i;
    if (i == 0 || i != text.size()) throw UsageError("volume size '" + text + "' is not a number of bytes");
    uint64_t bytes = number * unit;
    if (bytes == 0 || bytes >= 0xFFFFFFFFull)
        throw UsageError("volume size '" + text + "' is out of range (1 byte to 4 GiB - 2)");
    return uint32_t(bytes);
}
