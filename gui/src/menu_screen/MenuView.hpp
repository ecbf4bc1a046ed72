#pragma once

#include "menu_screen/MenuViewBase.hpp"

class MenuView : public MenuViewBase {
public:
    void setupScreen() override { MenuViewBase::setupScreen(); }
    void tearDownScreen() override {}
};
