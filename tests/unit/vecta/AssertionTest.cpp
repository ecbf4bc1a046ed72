#include <gtest/gtest.h>

#include "AssertionMatcher.hpp"
#include "vecta/Assert.hpp"

namespace {

int checkedHalf(int value)
{
    VECTA_ASSERT(value % 2 == 0);
    return value / 2;
}

} // namespace

TEST(AssertionDeathTest, ReportsExpressionFileLineAndFullSignature)
{
    EXPECT_EQ(checkedHalf(4), 2);
    EXPECT_DEATH(checkedHalf(3), "^assertion \"value % 2 == 0\" failed: file \"[^\"]*AssertionTest.cpp\", line "
                                 "[0-9]+, function: int \\{anonymous\\}::checkedHalf\\(int\\)\n");
    EXPECT_ASSERTION(checkedHalf(5), "value % 2 == 0");
}
