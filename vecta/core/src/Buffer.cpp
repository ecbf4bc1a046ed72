#include "vecta/Buffer.hpp"

namespace vecta {

void BufferWriter::rollback()
{
    if (checkpointPosition != nullptr) {
        current = checkpointPosition;
        discarded = false;
    }
}

} // namespace vecta
