// INI reading with the profile functions' rules.
#include "tools/kelpack/ini_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tools/kelpack/tool_error.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const char* blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    Section* current = nullptr;
    for (int number = 1; !text.empty(); ++number) {
        size_t end = text.find('\n');
        std::string_view line = TrimBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string name(
                TrimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
            current = nullptr;
            for (Section& s : file.sections_)
                if (current == nullptr && EqualsNoCase(s.name, name)) current = &s;
            if (current == nullptr) {
                file.sections_.push_back({name, {}, number, {}});
                current = &file.sections_.back();
            }
            continue;
        }
        if (current == nullptr) continue;  // keys before the first section are not reachable
        size_t equals = line.find('=');
        std::string key(TrimBlanks(line.substr(0, equals)));
        std::string value =
            equals == std::string_view::npos ? "" : Unquote(TrimBlanks(line.substr(equals + 1)));
        bool known = false;
        for (const Entry& entry : current->entries) known = known || EqualsNoCase(entry.first, key);
        if (!known) {
            current->entries.emplace_back(std::move(key), std::move(value));
            current->entryLines.push_back(number);
        }
    }
    return file;
}

IniFile IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

int IniFile::LineOf(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr || key.empty()) return s == nullptr ? 0 : s->line;
    for (size_t i = 0; i < s->entries.size(); ++i)
        if (EqualsNoCase(s->entries[i].first, key)) return s->entryLines[i];
    return 0;
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
    for (const Section& s : sections_)
        if (EqualsNoCase(s.name, section)) return &s;
    return nullptr;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr) return std::nullopt;
    for (const Entry& entry : s->entries)
        if (EqualsNoCase(entry.first, key)) return entry.second;
    return std::nullopt;
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t fallback) const {
    std::optional<std::string> value = Get(section, key);
    if (!value) return fallback;
    std::string_view text = TrimBlanks(*value);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return fallback;
    // Past the 32-bit range the number saturates, as the module's reader lets it.
    int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        number = std::min<int64_t>(number * 10 + (c - '0'), int64_t(INT32_MAX) + 1);
    }
    if (negative) return int32_t(-number);
    return int32_t(std::min<int64_t>(number, INT32_MAX));
}

bool IniFile::GetBool(std::string_view section, std::string_view key, bool fallback) const {
    return GetInt(section, key, fallback ? 1 : 0) != 0;
}

std::vector<IniFile::Entry> IniFile::Entries(std::string_view section) const {
    const Section* s = Find(section);
    return s == nullptr ? std::vector<Entry>{} : s->entries;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}
