// Maintained by hand: no tool writes this file.

#include "menu_screen/MenuViewBase.hpp"

#include "common/FrontendApplication.hpp"
#include "images/BitmapDatabase.hpp"

MenuViewBase::MenuViewBase() : ScreenBackground(0xFFFFB71C), buttonCallback(this, &MenuViewBase::buttonCallbackHandler)
{
    pizzaButton.setXY(130, 115);
    pizzaButton.setBitmaps(ui::Bitmap(BITMAP_IMAGE_PIZZAICON_ID), ui::Bitmap(BITMAP_IMAGE_PIZZAICON_ID));
    pizzaButton.setAction(buttonCallback);
    add(pizzaButton);

    dogButton.setXY(461, 115);
    dogButton.setBitmaps(ui::Bitmap(BITMAP_IMAGE_DOGICON_ID), ui::Bitmap(BITMAP_IMAGE_DOGICON_ID));
    dogButton.setAction(buttonCallback);
    add(dogButton);
}

void MenuViewBase::buttonCallbackHandler(const ui::AbstractButton& src)
{
    if (&src == &pizzaButton) {
        application().gotoPizzaScreenNoTransition();
    } else if (&src == &dogButton) {
        application().gotoDogTrackScreenNoTransition();
    }
}
