#pragma once

#include <map>
#include <string>
#include <vector>

// The converters' command lines: "--name value" pairs only. Small on
// purpose: the converters are built in every preset, and a full
// command-line library costs more compile time than both converters.
class ConverterOptions {
public:
    struct Option {
        std::string name; // without the leading "--"
        std::string help;
        bool required;
    };

    // Throws std::runtime_error for an unknown option, a missing value or a
    // missing required option; "--help" alone only sets helpRequested().
    ConverterOptions(int argc, const char* const* argv, std::vector<Option> known);

    bool helpRequested() const { return help; }
    std::string usage(const std::string& program, const std::string& purpose) const;

    bool has(const std::string& name) const { return values.count(name) != 0; }
    const std::string& text(const std::string& name) const;
    // The value as a whole number within [low, high].
    int number(const std::string& name, int low, int high) const;

private:
    std::vector<Option> options;
    std::map<std::string, std::string> values;
    bool help = false;
};
