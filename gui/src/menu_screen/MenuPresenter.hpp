#pragma once

#include "model/ModelListener.hpp"
#include "mvp/Presenter.hpp"

class MenuView;

// The menu shows no model data; while it is up no simulation runs.
class MenuPresenter : public ui::Presenter, public ModelListener {
public:
    explicit MenuPresenter(MenuView& v) : view(v) {}

    void activate() override;
    void deactivate() override {}

private:
    MenuView& view;
};
