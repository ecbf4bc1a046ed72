// Maintained by hand: no tool writes this file.

#pragma once

#include <cstdint>

#include "ui/Bitmap.hpp"

// Bitmap identifiers: the line of each image in assets/images/bitmaps.list.
constexpr ui::BitmapId BITMAP_IMAGE_BACK_ID = 0;
constexpr ui::BitmapId BITMAP_IMAGE_BITRATE_ID = 1;
constexpr ui::BitmapId BITMAP_IMAGE_BLUETOOTH_OFF_ID = 2;
constexpr ui::BitmapId BITMAP_IMAGE_BLUETOOTH_ON_ID = 3;
constexpr ui::BitmapId BITMAP_IMAGE_BOTTOM_OVERLAY_ID = 4;
constexpr ui::BitmapId BITMAP_IMAGE_DOG_ICON_ID = 5;
constexpr ui::BitmapId BITMAP_IMAGE_DOG_ICON_BIG_ID = 6;
constexpr ui::BitmapId BITMAP_IMAGE_DOGICON_ID = 7;
constexpr ui::BitmapId BITMAP_IMAGE_FLASH_OFF_ID = 8;
constexpr ui::BitmapId BITMAP_IMAGE_FLASH_ON_ID = 9;
constexpr ui::BitmapId BITMAP_IMAGE_GRID_OFF_ID = 10;
constexpr ui::BitmapId BITMAP_IMAGE_GRID_ON_ID = 11;
constexpr ui::BitmapId BITMAP_IMAGE_HOME_DOWN_ICON_ID = 12;
constexpr ui::BitmapId BITMAP_IMAGE_HOME_ICON_ID = 13;
constexpr ui::BitmapId BITMAP_IMAGE_HOME_LEFT_ICON_ID = 14;
constexpr ui::BitmapId BITMAP_IMAGE_HOME_RIGHT_ICON_ID = 15;
constexpr ui::BitmapId BITMAP_IMAGE_HOME_UP_ICON_ID = 16;
constexpr ui::BitmapId BITMAP_IMAGE_INFO_BACKGROUND_1_ID = 17;
constexpr ui::BitmapId BITMAP_IMAGE_INFO_BACKGROUND_2_ID = 18;
constexpr ui::BitmapId BITMAP_IMAGE_INFO_LEFT_ARROW_ID = 19;
constexpr ui::BitmapId BITMAP_IMAGE_INFO_NORMAL_ID = 20;
constexpr ui::BitmapId BITMAP_IMAGE_INFO_RIGHT_ARROW_ID = 21;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZA_DELIVERY_DOWN_ICON_ID = 22;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZA_DELIVERY_ICON_ID = 23;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZA_DELIVERY_LEFT_ICON_ID = 24;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZA_DELIVERY_RIGHT_ICON_ID = 25;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZA_DELIVERY_UP_ICON_ID = 26;
constexpr ui::BitmapId BITMAP_IMAGE_PIZZAICON_ID = 27;
constexpr ui::BitmapId BITMAP_IMAGE_PROCESS_BAR_FULL_ID = 28;
constexpr ui::BitmapId BITMAP_IMAGE_SD_OFF_ID = 29;
constexpr ui::BitmapId BITMAP_IMAGE_SD_ON_ID = 30;
constexpr ui::BitmapId BITMAP_IMAGE_START_ICON_ID = 31;
constexpr ui::BitmapId BITMAP_IMAGE_TOP_BAR_ID = 32;
constexpr ui::BitmapId BITMAP_IMAGE_TOP_LEFT_ROUND_CORNOR_ID = 33;
constexpr ui::BitmapId BITMAP_IMAGE_TOP_RIGHT_ROUND_CORNOR_ID = 34;

// The bitmap table the image converter generates from those images.
namespace BitmapDatabase {
const ui::Bitmap::BitmapData* getInstance();
std::uint16_t getInstanceSize();
} // namespace BitmapDatabase
