#include <gtest/gtest.h>

#include "vecta/StringHash.hpp"

TEST(StringHash, MatchesTheKnownNames)
{
    EXPECT_EQ(vecta::stringHash(""), 5381u);
    EXPECT_EQ(vecta::stringHash("class"), 274775195u);
    EXPECT_EQ(vecta::stringHash("default"), 3918293962u);
    EXPECT_EQ(vecta::stringHash("water"), 273106504u);
    EXPECT_EQ(vecta::stringHash("road"), 2090176715u);
}

TEST(StringHash, BytesAboveSevenBitsCountUnsigned)
{
    // h("\xC3") = 0xC3 + 33 * 5381
    EXPECT_EQ(vecta::stringHash("\xC3"), 0xC3u + 33u * 5381u);
}
