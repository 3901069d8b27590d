// Safe mapping of member names to paths.
#include "tools/kelpack/member_paths.h"

#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string_view> Components(std::string_view name) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || IsSeparator(name[i])) {
            parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    }
    if (IsFolderMember(name)) parts.pop_back();
    return parts;
}

}  // namespace

bool IsFolderMember(std::string_view name) { return !name.empty() && IsSeparator(name.back()); }

std::string UnsafeMemberName(std::string_view name) {
    if (name.empty()) return "empty name";
    if (IsSeparator(name.front())) return "absolute path";
    if (name.find(':') != std::string_view::npos) return "drive letter or stream name (':')";
    for (std::string_view part : Components(name)) {
        if (part.empty()) return "empty path component";
        if (part.find_first_not_of(". ") == std::string_view::npos) return "'.' or '..' component";
    }
    return {};
}

std::filesystem::path MemberTargetPath(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path target = folder;
    for (std::string_view part : Components(name)) target /= std::string(part);
    return target;
}

std::string PrintableName(std::string_view name) {
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            shown += "\\x";
            shown += digits[c >> 4];
            shown += digits[c & 15];
        } else {
            shown += char(c);
        }
    }
    return shown;
}
