// Maintained by hand: no tool writes this file.

#pragma once

#include "common/ScreenBackground.hpp"
#include "ui/Callback.hpp"
#include "ui/widgets/Button.hpp"

class MenuPresenter;

// The menu: two big buttons on amber, one per tracker.
class MenuViewBase : public ScreenBackground<MenuPresenter> {
public:
    MenuViewBase();

    void setupScreen() override {}

protected:
    void buttonCallbackHandler(const ui::AbstractButton& src);

    ui::Button pizzaButton;
    ui::Button dogButton;

private:
    ui::Callback<MenuViewBase, const ui::AbstractButton&> buttonCallback;
};
