#pragma once

#include "ui/Callback.hpp"
#include "ui/Drawable.hpp"

namespace ui {

// A drawable with an ordered list of children: drawn in the order added,
// the last added on top.
class Container : public Drawable {
public:
    void add(Drawable& d);
    void remove(Drawable& d);
    void removeAll();
    // Puts `d` right after `previous`, or first when `previous` is null.
    void insert(Drawable* previous, Drawable& d);

    // Like getLastChild, but also accepts a touchable drawable within
    // `fingerAdjustment` pixels of the point when none is right under it.
    void getLastChildNear(std::int16_t x, std::int16_t y, Drawable** last, std::int16_t fingerSize,
                          std::int16_t* fingerAdjustmentX, std::int16_t* fingerAdjustmentY);
    void forEachChild(GenericCallback<Drawable&>* function);
    Rect getContainedArea() const;
    void moveChildrenRelative(std::int16_t dx, std::int16_t dy);

    // Draws the children; with `skipHidden` drawing starts at the last child
    // whose solid area covers the whole of `invalidatedArea`. A child whose
    // part of the area an opaque child in front of it covers is skipped.
    void drawChildren(const Rect& invalidatedArea, bool skipHidden) const;
    // Whether a visible child is opaque over all of `area` (own coordinates).
    bool coversOpaquely(const Rect& area) const { return opaqueFrom(firstChild, area); }
    // Children skipped since power-on because opaque ones in front covered them.
    static std::uint32_t coveredSkips() { return skippedAsCovered; }

    void draw(const Rect& invalidatedArea) const override { drawChildren(invalidatedArea, false); }
    Rect getSolidRect() const override { return Rect(); }
    Drawable* getFirstChild() override { return firstChild; }
    void getLastChild(std::int16_t x, std::int16_t y, Drawable** last) override;

protected:
    Drawable* firstChild = nullptr;

private:
    // Whether `first` or a visible sibling after it is opaque over `area`.
    static bool opaqueFrom(const Drawable* first, const Rect& area);

    static std::uint32_t skippedAsCovered;
};

} // namespace ui
