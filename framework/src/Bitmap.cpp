#include "ui/Bitmap.hpp"

#include "platform/Assert.hpp"

namespace ui {

const Bitmap::BitmapData* Bitmap::bitmaps = nullptr;
std::uint16_t Bitmap::numberOfBitmaps = 0;

void Bitmap::registerBitmapDatabase(const BitmapData* data, std::uint16_t count)
{
    bitmaps = data;
    numberOfBitmaps = count;
}

BitmapId Bitmap::getId() const
{
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT(bitmaps != 0 && "Bitmap database has not been initialized.");
    return bitmapId;
}

bool Bitmap::isValid() const
{
    return bitmaps != nullptr && bitmapId < numberOfBitmaps;
}

const Bitmap::BitmapData* Bitmap::record() const
{
    return isValid() ? &bitmaps[bitmapId] : nullptr;
}

std::uint16_t Bitmap::getWidth() const
{
    return isValid() ? record()->width : 0;
}

std::uint16_t Bitmap::getHeight() const
{
    return isValid() ? record()->height : 0;
}

const std::uint8_t* Bitmap::getData() const
{
    return isValid() ? record()->data : nullptr;
}

Bitmap::BitmapFormat Bitmap::getFormat() const
{
    return isValid() ? record()->getFormat() : RGB565;
}

Rect Bitmap::getSolidRect() const
{
    if (!isValid()) {
        return Rect();
    }
    const BitmapData& r = *record();
    return Rect(static_cast<std::int16_t>(r.solidRect_x), static_cast<std::int16_t>(r.solidRect_y),
                static_cast<std::int16_t>(r.solidRect_width), static_cast<std::int16_t>(r.solidRect_height));
}

} // namespace ui
