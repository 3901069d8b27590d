// Text in the tool's JSON output.
#pragma once

#include <string>

// text as a quoted JSON string. The texts are 8-bit (code page 949 or ANSI), not UTF-8: every byte
// above 126 and every control character appears as \u00XX, the Latin-1 character of its value, so
// that the output is ASCII and valid JSON whatever the bytes, and each byte can be recovered.
std::string JsonString(const std::string& text);
