#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "board_config/BoardConfig.hpp"

namespace {

// Every `name: number` the script gives.
std::map<std::string, long> scriptValues()
{
    std::ifstream in(BOARD_CONFIG_SCRIPT);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string script = text.str();
    const std::regex entry(R"((\w+): (\d+))");
    std::map<std::string, long> values;
    for (auto match = std::sregex_iterator(script.begin(), script.end(), entry); match != std::sregex_iterator();
         ++match) {
        values[(*match)[1]] = std::stol((*match)[2]);
    }
    return values;
}

} // namespace

// The build reads the header's text, not its values: a misread name or
// number would give the page another panel than the firmware's.
TEST(BoardConfigScript, GivesThePageTheHeadersPanelAndFrameRate)
{
    const std::map<std::string, long> expected{
        {"panelWidth", board::panelWidth},
        {"panelHeight", board::panelHeight},
        {"framesPerSecond", static_cast<long>(board::framesPerSecond)},
    };
    EXPECT_EQ(scriptValues(), expected);
}
