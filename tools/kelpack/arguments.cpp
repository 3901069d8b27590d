// Command-line parsing.
#include "tools/kelpack/arguments.h"

#include "tools/kelpack/tool_error.h"
#include "tools/kelpack/uninstall_info.h"

std::optional<std::string> Arguments::Value(const std::string& name) const {
    auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules) {
    Arguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-' || arg == "--") {
            if (arg == "--") {
                parsed.positional.insert(parsed.positional.end(), args.begin() + long(i) + 1, args.end());
                break;
            }
            parsed.positional.push_back(arg);
            continue;
        }
        std::string name;
        std::optional<std::string> inlineValue;
        if (arg[1] == '-') {
            size_t equals = arg.find('=');
            name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            if (equals != std::string::npos) inlineValue = arg.substr(equals + 1);
        } else if (arg.size() == 2) {
            for (const OptionRule& rule : rules)
                if (rule.shortName == arg[1]) name = rule.name;
            if (arg == "-h") name = "help";
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& s : rules)
            if (name == s.name) rule = &s;
        if (name == "help") {
            parsed.options["help"] = "";
            continue;
        }
        if (rule == nullptr) throw UsageError("unknown option " + arg);
        if (!rule->takesValue) {
            if (inlineValue) throw UsageError("option --" + name + " takes no value");
            parsed.options[name] = "";
        } else if (inlineValue) {
            parsed.options[name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            parsed.options[name] = args[++i];
        } else {
            throw UsageError("option " + arg + " needs a value");
        }
    }
    return parsed;
}

uint32_t ParseOffset(const std::string& text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("offset '" + text + "' is not a decimal number of bytes");
    uint64_t value = std::stoull(text);
    if (value > 0xFFFFFFFFull) throw UsageError("offset '" + text + "' is beyond 4 GiB");
    return uint32_t(value);
}

uint32_t ArchiveOffset(const Arguments& args, const std::string& path) {
    std::optional<std::string> offset = args.Value("offset");
    return offset ? ParseOffset(*offset) : DefaultArchiveOffset(path);
}
