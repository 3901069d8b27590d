// An INI file read the way the module's profile functions read the install information: sections and
// keys without regard to case, the first of duplicate keys wins, blanks around values and one pair of
// enclosing quotes removed, ';' starts a comment line. Bytes are kept as they are (the file may be in
// code page 949).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class IniFile {
  public:
    using Entry = std::pair<std::string, std::string>;

    static IniFile Parse(std::string_view text);
    // Throws ToolError when the file cannot be read.
    static IniFile Load(const std::string& path);

    bool HasSection(std::string_view section) const;
    // The value, or nothing when the key is missing (an empty value counts as present).
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // As the module reads numbers: "%ld" on the value, the default for a missing, blank or non-numeric value.
    // Digits past the 32-bit range saturate, as the module's reader lets them.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t fallback) const;
    // Set when GetInt is non-zero.
    bool GetBool(std::string_view section, std::string_view key, bool fallback) const;
    // The section's keys in file order, duplicates left out; empty when the section is missing.
    std::vector<Entry> Entries(std::string_view section) const;
    // The sections in file order, each once, spelled as first seen.
    std::vector<std::string> SectionNames() const;
    // The line (from 1) of the section's first heading, or of the key's entry that counts; 0 when missing.
    int LineOf(std::string_view section, std::string_view key = {}) const;

  private:
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        int line = 0;
        std::vector<int> entryLines;  // beside entries
    };
    const Section* Find(std::string_view section) const;
    std::vector<Section> sections_;
};

// Case-insensitive comparison of ASCII letters, as the profile functions match names.
bool EqualsNoCase(std::string_view a, std::string_view b);
