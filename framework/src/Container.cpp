#include "ui/Container.hpp"

#include "platform/Assert.hpp"

namespace ui {

std::uint32_t Container::skippedAsCovered = 0;

void Container::add(Drawable& d)
{
    VECTA_ASSERT(&d != this && "Cannot add Drawable to self");
    VECTA_ASSERT(d.parent == nullptr && "Cannot add Drawable multiple times");
    d.parent = this;
    d.nextSibling = nullptr;
    if (firstChild == nullptr) {
        firstChild = &d;
        return;
    }
    Drawable* tail = firstChild;
    while (tail->nextSibling != nullptr) {
        tail = tail->nextSibling;
    }
    tail->nextSibling = &d;
}

void Container::remove(Drawable& d)
{
    Drawable** link = &firstChild;
    while (*link != nullptr && *link != &d) {
        link = &(*link)->nextSibling;
    }
    if (*link == nullptr) {
        return;
    }
    *link = d.nextSibling;
    d.parent = nullptr;
    d.nextSibling = nullptr;
}

void Container::removeAll()
{
    while (firstChild != nullptr) {
        Drawable* d = firstChild;
        firstChild = d->nextSibling;
        d->parent = nullptr;
        d->nextSibling = nullptr;
    }
}

void Container::insert(Drawable* previous, Drawable& d)
{
    if (previous == nullptr) {
        VECTA_ASSERT(&d != this && "Cannot add Drawable to self");
        VECTA_ASSERT(d.parent == nullptr && "Cannot add Drawable multiple times");
        d.parent = this;
        d.nextSibling = firstChild;
        firstChild = &d;
        return;
    }
    VECTA_ASSERT(previous->parent == this && "Cannot insert after a Drawable of another container");
    VECTA_ASSERT(d.parent == nullptr && "Cannot add Drawable multiple times");
    d.parent = this;
    d.nextSibling = previous->nextSibling;
    previous->nextSibling = &d;
}

void Container::getLastChild(std::int16_t x, std::int16_t y, Drawable** last)
{
    if (!visible) {
        return;
    }
    if (touchable) {
        *last = this;
    }
    for (Drawable* child = firstChild; child != nullptr; child = child->nextSibling) {
        if (child->visible && child->rect.intersect(x, y)) {
            child->getLastChild(static_cast<std::int16_t>(x - child->rect.x),
                                static_cast<std::int16_t>(y - child->rect.y), last);
        }
    }
}

void Container::getLastChildNear(std::int16_t x, std::int16_t y, Drawable** last, std::int16_t fingerSize,
                                 std::int16_t* fingerAdjustmentX, std::int16_t* fingerAdjustmentY)
{
    *fingerAdjustmentX = 0;
    *fingerAdjustmentY = 0;
    getLastChild(x, y, last);
    if (*last != nullptr || fingerSize <= 1) {
        return;
    }
    // Probe the rim of the finger's area: straight neighbours before diagonals.
    static constexpr std::int8_t probes[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (const auto& probe : probes) {
        const auto dx = static_cast<std::int16_t>(probe[0] * fingerSize);
        const auto dy = static_cast<std::int16_t>(probe[1] * fingerSize);
        getLastChild(static_cast<std::int16_t>(x + dx), static_cast<std::int16_t>(y + dy), last);
        if (*last != nullptr) {
            *fingerAdjustmentX = dx;
            *fingerAdjustmentY = dy;
            return;
        }
    }
}

void Container::forEachChild(GenericCallback<Drawable&>* function)
{
    for (Drawable* child = firstChild; child != nullptr; child = child->nextSibling) {
        function->execute(*child);
    }
}

Rect Container::getContainedArea() const
{
    Rect area;
    for (const Drawable* child = firstChild; child != nullptr; child = child->nextSibling) {
        area.expandToFit(child->rect);
    }
    return area;
}

void Container::moveChildrenRelative(std::int16_t dx, std::int16_t dy)
{
    for (Drawable* child = firstChild; child != nullptr; child = child->nextSibling) {
        child->moveRelative(dx, dy);
    }
}

bool Container::opaqueFrom(const Drawable* first, const Rect& area)
{
    for (const Drawable* d = first; d != nullptr; d = d->nextSibling) {
        if (!d->visible) {
            continue;
        }
        Rect solid = d->getSolidRect() & Rect(0, 0, d->rect.width, d->rect.height);
        solid.x = static_cast<std::int16_t>(solid.x + d->rect.x);
        solid.y = static_cast<std::int16_t>(solid.y + d->rect.y);
        if (solid.includes(area)) {
            return true;
        }
    }
    return false;
}

void Container::drawChildren(const Rect& invalidatedArea, bool skipHidden) const
{
    const Drawable* start = firstChild;
    if (skipHidden) {
        for (const Drawable* child = firstChild; child != nullptr; child = child->nextSibling) {
            if (!child->visible) {
                continue;
            }
            Rect solid = child->getSolidRect();
            solid.x = static_cast<std::int16_t>(solid.x + child->rect.x);
            solid.y = static_cast<std::int16_t>(solid.y + child->rect.y);
            if (solid.includes(invalidatedArea)) {
                start = child;
            }
        }
    }
    for (const Drawable* child = start; child != nullptr; child = child->nextSibling) {
        if (!child->visible) {
            continue;
        }
        Rect area = invalidatedArea & child->rect;
        if (area.isEmpty()) {
            continue;
        }
        if (opaqueFrom(child->nextSibling, area)) {
            ++skippedAsCovered;
            continue;
        }
        area.x = static_cast<std::int16_t>(area.x - child->rect.x);
        area.y = static_cast<std::int16_t>(area.y - child->rect.y);
        child->draw(area);
    }
}

} // namespace ui
