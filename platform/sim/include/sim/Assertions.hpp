#pragma once

namespace sim {

// Called after a failed assertion has been reported and before the process
// aborts, so that a long run can say where it stood; null: nothing.
void onAssertion(void (*note)());

} // namespace sim
