#include "common/FrontendSetup.hpp"

#include "fonts/ApplicationFontProvider.hpp"
#include "images/BitmapDatabase.hpp"
#include "texts/TypedTextDatabase.hpp"
#include "ui/Bitmap.hpp"
#include "ui/HAL.hpp"
#include "ui/TypedText.hpp"

namespace {

ApplicationFontProvider fontProvider;

} // namespace

FrontendHeap& setupFrontend()
{
    ui::Bitmap::registerBitmapDatabase(BitmapDatabase::getInstance(), BitmapDatabase::getInstanceSize());
    ui::Texts::setLanguages(TypedTextDatabase::getLanguages(), TypedTextDatabase::getLanguageCount());
    ui::TypedText::registerTypedTextDatabase(TypedTextDatabase::getInstance(), TypedTextDatabase::getFonts(),
                                             TypedTextDatabase::getInstanceSize());
    ui::Texts::setLanguage(0);
    ui::HAL::setFrameBufferFormat(ui::Bitmap::RGB565);
    ui::FontManager::setFontProvider(&fontProvider);

    FrontendHeap& heap = FrontendHeap::getInstance();
    FrontendHeapBase::gotoStartScreen(heap.app);
    return heap;
}
