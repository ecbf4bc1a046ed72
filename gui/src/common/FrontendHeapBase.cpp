// Maintained by hand: no tool writes this file.

#include "common/FrontendHeapBase.hpp"

#include "common/FrontendApplication.hpp"

FrontendHeapBase::FrontendHeapBase(ui::AbstractPartition& presenters, ui::AbstractPartition& views,
                                   ui::AbstractPartition& transitions, FrontendApplication& app)
    : MVPHeap(presenters, views, transitions, app)
{
}

void FrontendHeapBase::gotoStartScreen(FrontendApplication& app)
{
    app.gotoPizzaScreenNoTransition();
}
