#include "common/FrontendApplicationBase.hpp"
#include "vecta/Assert.hpp"

// The map screens join the program with their views and presenters. Until
// then a request for one stops with an assertion instead of leaving the
// user on the old screen as if nothing had been asked.
void FrontendApplicationBase::gotoPizzaScreenNoTransitionImpl()
{
    VECTA_ASSERT(!"The pizza screen is not part of this program yet");
}

void FrontendApplicationBase::gotoDogTrackScreenNoTransitionImpl()
{
    VECTA_ASSERT(!"The dog-track screen is not part of this program yet");
}
