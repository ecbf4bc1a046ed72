#include <cmath>
#include <utility>

#include <gtest/gtest.h>

#include "ui/Matrix3x3.hpp"
#include "ui/Unicode.hpp"

namespace {

std::u16string text(const ui::UnicodeChar* s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s));
}

} // namespace

TEST(Matrix3x3, OperationsApplyInTheOrderCalled)
{
    ui::Matrix3x3 m;
    m.scale(2, 2);
    m.translate(10, 0);
    const auto p = m.affineTransform(1, 1);
    EXPECT_FLOAT_EQ(p.x, 12.0f);
    EXPECT_FLOAT_EQ(p.y, 2.0f);

    ui::Matrix3x3 r;
    r.translate(100, 0);
    r.rotate(90); // clockwise on screen: +x turns into +y
    const auto q = r.affineTransform(0, 0);
    EXPECT_NEAR(q.x, 0.0f, 1e-4f);
    EXPECT_NEAR(q.y, 100.0f, 1e-4f);
}

TEST(Matrix3x3, RotationIsTakenModulo360EvenForHugeAngles)
{
    // Whole turns of 360 are exact in float up to 2^24; 2^40 degrees are
    // 2^40 mod 360 = 16 degrees.
    const std::pair<float, float> sameAngles[] = {
        {120.0f + 360.0f * 4096, 120.0f}, {1099511627776.0f, 16.0f}, {-240.0f, 120.0f}};
    for (const auto& [large, reduced] : sameAngles) {
        ui::Matrix3x3 a;
        a.rotate(large);
        ui::Matrix3x3 b;
        b.rotate(reduced);
        const auto p = a.affineTransform(100, 0);
        const auto q = b.affineTransform(100, 0);
        EXPECT_NEAR(p.x, q.x, 1e-3f) << large;
        EXPECT_NEAR(p.y, q.y, 1e-3f) << large;
    }
    ui::Matrix3x3 huge;
    huge.rotate(3e38f);
    EXPECT_TRUE(std::isfinite(huge.affineTransform(1, 1).x)) << "degrees times pi would overflow";
}

TEST(Unicode, FormatsIntegersTextsAndTruncatesToTheBuffer)
{
    ui::UnicodeChar buffer[8];
    ui::Unicode::snprintf(buffer, 8, "%02d:%02d", 5, 42);
    EXPECT_EQ(text(buffer), u"05:42");
    ui::Unicode::snprintf(buffer, 8, "%d", -123456789);
    EXPECT_EQ(text(buffer), u"-123456"); // 7 characters and the terminator
    const ui::UnicodeChar name[] = {u'a', 0x00E1, 0};
    ui::Unicode::snprintf(buffer, 8, "[%-4s]%%", name);
    EXPECT_EQ(text(buffer), u"[a\u00E1  ]%");
    ui::Unicode::snprintf(buffer, 1, "abc");
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(ui::Unicode::strncpy(buffer, "--.--", 6), 5);
    EXPECT_EQ(text(buffer), u"--.--");
}

TEST(Unicode, FormatsFloatsFromAnArray)
{
    ui::UnicodeChar buffer[6];
    const float fps[] = {60.0f};
    ui::Unicode::snprintfFloats(buffer, 6, "%f", fps);
    EXPECT_EQ(text(buffer), u"60.00");

    ui::UnicodeChar wide[32];
    const float values[] = {-2.5f, 0.125f};
    ui::Unicode::snprintfFloats(wide, 32, "%.1f and %6.2f %d", values);
    EXPECT_EQ(text(wide), u"-2.5 and   0.13 %d");
}
