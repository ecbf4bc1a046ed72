// Maintained by hand: no tool writes this file.

#pragma once

#include "mvp/MVPHeap.hpp"

class FrontendApplication;

// The heap's view for the framework: the three slots and the application.
class FrontendHeapBase : public ui::MVPHeap {
public:
    // Requests the start screen, the pizza tracker; start-up does this once
    // right after building the heap.
    static void gotoStartScreen(FrontendApplication& app);

protected:
    FrontendHeapBase(ui::AbstractPartition& presenters, ui::AbstractPartition& views,
                     ui::AbstractPartition& transitions, FrontendApplication& app);
};
