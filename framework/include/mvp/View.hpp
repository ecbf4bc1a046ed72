#pragma once

#include "ui/Screen.hpp"

namespace ui {

// A screen that knows its presenter.
template <class T> class View : public Screen {
public:
    void bind(T& newPresenter) { presenter = &newPresenter; }

protected:
    T* presenter = nullptr;
};

} // namespace ui
