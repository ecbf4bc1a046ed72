#include "menu_screen/MenuPresenter.hpp"

#include "model/Model.hpp"

void MenuPresenter::activate()
{
    model->setActiveScreen(ActiveScreen::None);
}
