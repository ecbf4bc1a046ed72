// The debug signals go to whoever watches them. On their own: the GUI
// code that raises them links without the rest of the board.

#include <functional>
#include <utility>

#include "sim/Board.hpp"

namespace {

std::function<void(bsp::DebugSignal, bool)> debugObserver;

} // namespace

void sim::board::onDebugSignal(std::function<void(bsp::DebugSignal, bool)> handler)
{
    debugObserver = std::move(handler);
}

void bsp::setDebugSignal(DebugSignal signal, bool high)
{
    if (debugObserver) {
        debugObserver(signal, high);
    }
}
