#include <string>

#include <gtest/gtest.h>

#include "images/BitmapDatabase.hpp"
#include "texts/TypedTextDatabase.hpp"

namespace {

struct Expected {
    const char* name;
    int width;
    int height;
    ui::Bitmap::BitmapFormat format;
};

constexpr auto RGB565 = ui::Bitmap::RGB565;
constexpr auto ARGB8888 = ui::Bitmap::ARGB8888;

// The bitmap table the screens are laid out for.
constexpr Expected expectedBitmaps[] = {
    {"back", 96, 40, RGB565},
    {"bitrate", 148, 34, ARGB8888},
    {"bluetooth_off", 36, 36, ARGB8888},
    {"bluetooth_on", 36, 36, ARGB8888},
    {"bottom_overlay", 800, 174, ARGB8888},
    {"dog_icon", 12, 12, ARGB8888},
    {"dog_icon_big", 24, 24, ARGB8888},
    {"dogicon", 209, 250, ARGB8888},
    {"flash_off", 36, 36, ARGB8888},
    {"flash_on", 36, 36, ARGB8888},
    {"grid_off", 48, 48, ARGB8888},
    {"grid_on", 48, 48, ARGB8888},
    {"home_down_icon", 60, 72, ARGB8888},
    {"home_icon", 48, 48, ARGB8888},
    {"home_left_icon", 72, 60, ARGB8888},
    {"home_right_icon", 72, 60, ARGB8888},
    {"home_up_icon", 60, 72, ARGB8888},
    {"info_background_1", 800, 480, RGB565},
    {"info_background_2", 800, 480, RGB565},
    {"info_left_arrow", 48, 48, RGB565},
    {"info_normal", 48, 48, ARGB8888},
    {"info_right_arrow", 48, 48, RGB565},
    {"pizza_delivery_down_icon", 60, 72, ARGB8888},
    {"pizza_delivery_icon", 60, 60, ARGB8888},
    {"pizza_delivery_left_icon", 72, 60, ARGB8888},
    {"pizza_delivery_right_icon", 72, 60, ARGB8888},
    {"pizza_delivery_up_icon", 60, 72, ARGB8888},
    {"pizzaicon", 209, 250, ARGB8888},
    {"process_bar_full", 216, 156, ARGB8888},
    {"sd_off", 36, 36, ARGB8888},
    {"sd_on", 36, 36, ARGB8888},
    {"start_icon", 24, 24, ARGB8888},
    {"top_bar", 226, 54, ARGB8888},
    {"top_left_round_cornor", 32, 32, ARGB8888},
    {"top_right_round_cornor", 32, 32, ARGB8888},
};

} // namespace

TEST(BitmapDatabase, EveryEntryHasItsSizeFormatAndAnOpaqueRectInsideIt)
{
    ASSERT_EQ(BitmapDatabase::getInstanceSize(), std::size(expectedBitmaps));
    const ui::Bitmap::BitmapData* table = BitmapDatabase::getInstance();
    for (std::size_t id = 0; id < std::size(expectedBitmaps); ++id) {
        const Expected& e = expectedBitmaps[id];
        const ui::Bitmap::BitmapData& r = table[id];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(r.width, e.width);
        EXPECT_EQ(r.height, e.height);
        EXPECT_EQ(r.getFormat(), e.format);
        EXPECT_NE(r.data, nullptr);
        EXPECT_EQ(r.extraData, nullptr);
        EXPECT_LE(r.solidRect_x + r.solidRect_width, r.width);
        EXPECT_LE(r.solidRect_y + r.solidRect_height, r.height);
        if (e.format == RGB565) {
            EXPECT_EQ(r.solidRect_width, r.width);
            EXPECT_EQ(r.solidRect_height, r.height);
        }
    }
    // The pixels are in the same blob, each image after the one before.
    for (std::size_t id = 1; id < std::size(expectedBitmaps); ++id) {
        const std::size_t bytes = static_cast<std::size_t>(table[id - 1].width) * table[id - 1].height *
                                  (expectedBitmaps[id - 1].format == RGB565 ? 2 : 4);
        EXPECT_GE(table[id].data, table[id - 1].data + bytes) << expectedBitmaps[id].name;
    }
    EXPECT_EQ(BITMAP_IMAGE_PIZZAICON_ID, 27);
    EXPECT_EQ(BITMAP_IMAGE_TOP_RIGHT_ROUND_CORNOR_ID, 34);
}

TEST(TypedTextDatabase, NineTextsInOnePoolWithFontAndAlignment)
{
    ASSERT_EQ(TypedTextDatabase::getInstanceSize(), 9);
    ASSERT_EQ(TypedTextDatabase::getLanguageCount(), 1);
    const ui::LanguageTexts& texts = TypedTextDatabase::getLanguages()[0];
    const auto text = [&](int id) {
        return std::u16string(reinterpret_cast<const char16_t*>(texts.pool + texts.offsets[id]));
    };
    EXPECT_EQ(text(0), u"GET EXCITED NOW");
    EXPECT_EQ(text(1), u"PIZZA ON ITS' WAY");
    EXPECT_EQ(text(2), u"\u0002");
    EXPECT_EQ(text(3), u"ORDER");
    EXPECT_EQ(text(4), u"ARRIVED");
    EXPECT_EQ(text(5), u"\u0002, \u0002");
    EXPECT_EQ(text(6), u"Bitrate:");
    EXPECT_EQ(text(7), u"\u0002");
    EXPECT_EQ(text(8), u"\u0002 fps");

    const ui::TypedTextData* records = TypedTextDatabase::getInstance();
    const int fonts[] = {2, 2, 3, 3, 3, 0, 1, 1, 0};
    const ui::Alignment alignments[] = {ui::CENTER, ui::CENTER, ui::CENTER, ui::CENTER, ui::CENTER,
                                        ui::LEFT,   ui::LEFT,   ui::RIGHT,  ui::RIGHT};
    for (int id = 0; id < 9; ++id) {
        EXPECT_EQ(records[id].fontIdx, fonts[id]) << id;
        EXPECT_EQ(records[id].alignment, alignments[id]) << id;
        EXPECT_EQ(records[id].direction, ui::TEXT_DIRECTION_LTR) << id;
    }
}
