#include "vecta/Buffer.hpp"

namespace vecta {

void BufferWriter::checkpoint()
{
    if (!discarded) {
        checkpointPosition = current;
    }
}

void BufferWriter::rollback()
{
    if (checkpointPosition != nullptr) {
        current = checkpointPosition;
        discarded = false;
    }
}

bool BufferWriter::write(const SegmentHeader& header)
{
    if (!canWrite(sizeof header)) {
        return false;
    }
    std::memcpy(current, &header, sizeof header);
    current += sizeof header;
    return true;
}

} // namespace vecta
