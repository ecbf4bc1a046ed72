#include <gtest/gtest.h>

#include <string>

#include "platform/Assert.hpp"
#include "support/AssertionMatcher.hpp"

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
    // The source relative to the repository root, without its extension.
    EXPECT_DEATH(checkedHalf(3), "^assertion \"value % 2 == 0\" failed: file \"tests/vecta/AssertionTest\", line "
                                 "[0-9]+, function: int \\{anonymous\\}::checkedHalf\\(int\\)\n");
    EXPECT_ASSERTION(checkedHalf(5), "value % 2 == 0");
}

TEST(AssertionSourceName, DropsOnlyTheLastComponentsExtension)
{
    const auto shown = [](const char* file) { return std::string(file, platform::sourceNameLength(file)); };
    EXPECT_EQ(shown("framework/include/mvp/MVPApplication.hpp"), "framework/include/mvp/MVPApplication");
    EXPECT_EQ(shown("build.d/gen/Table"), "build.d/gen/Table");
    EXPECT_EQ(shown("dir/.hidden"), "dir/.hidden");
    EXPECT_EQ(shown("a.b/c.tar.gz"), "a.b/c.tar");
}
