#include "converteroptions/ConverterOptions.hpp"

#include <algorithm>
#include <stdexcept>

ConverterOptions::ConverterOptions(int argc, const char* const* argv, std::vector<Option> known)
    : options(std::move(known))
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
            return;
        }
        const auto option =
            std::find_if(options.begin(), options.end(), [&](const Option& o) { return argument == "--" + o.name; });
        if (option == options.end()) {
            throw std::runtime_error("unknown option " + argument + " (see --help)");
        }
        if (i + 1 >= argc) {
            throw std::runtime_error(argument + " needs a value");
        }
        values[option->name] = argv[++i];
    }
    for (const Option& o : options) {
        if (o.required && !has(o.name)) {
            throw std::runtime_error("--" + o.name + " is required (see --help)");
        }
    }
}

std::string ConverterOptions::usage(const std::string& program, const std::string& purpose) const
{
    std::string text = purpose + "\n\nUsage: " + program + " OPTIONS\n";
    for (const Option& o : options) {
        text += "  --" + o.name + " VALUE" + std::string(o.name.size() < 12 ? 12 - o.name.size() : 1, ' ') + o.help +
                (o.required ? "" : " (optional)") + "\n";
    }
    return text;
}

const std::string& ConverterOptions::text(const std::string& name) const
{
    static const std::string none;
    const auto found = values.find(name);
    return found != values.end() ? found->second : none;
}

int ConverterOptions::number(const std::string& name, int low, int high) const
{
    const std::string& value = text(name);
    std::size_t used = 0;
    int parsed = 0;
    try {
        parsed = std::stoi(value, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || parsed < low || parsed > high) {
        throw std::runtime_error("--" + name + " must be a whole number from " + std::to_string(low) + " to " +
                                 std::to_string(high) + ", not \"" + value + "\"");
    }
    return parsed;
}
