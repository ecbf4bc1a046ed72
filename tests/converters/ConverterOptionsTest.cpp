#include <stdexcept>

#include <gtest/gtest.h>

#include "converteroptions/ConverterOptions.hpp"

namespace {

ConverterOptions parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "tool");
    return ConverterOptions(static_cast<int>(arguments.size()), arguments.data(),
                            {{"size", "pixel size", true}, {"png", "preview folder", false}});
}

std::string errorOf(std::vector<const char*> arguments)
{
    try {
        parse(std::move(arguments));
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ConverterOptions, ValuesAndEveryKindOfBadCommandLine)
{
    const ConverterOptions options = parse({"--size", "20"});
    EXPECT_EQ(options.number("size", 4, 200), 20);
    EXPECT_FALSE(options.has("png"));
    EXPECT_TRUE(parse({"--help"}).helpRequested());

    EXPECT_EQ(errorOf({"--size", "20", "--colour", "red"}), "unknown option --colour (see --help)");
    EXPECT_EQ(errorOf({"--size"}), "--size needs a value");
    EXPECT_EQ(errorOf({"--png", "out"}), "--size is required (see --help)");
    for (const char* bad : {"3", "201", "20px", ""}) {
        EXPECT_THROW(parse({"--size", bad}).number("size", 4, 200), std::runtime_error) << bad;
    }
}
