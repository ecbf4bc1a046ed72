#include "common/ImageRegion.hpp"

#include "tile_fetcher/region.h"

Region imageRegion()
{
    RegionStatus status = RegionStatus::Absent;
    const RegionRecord* record = region_record(status);
    if (record == nullptr) {
        return builtInRegion;
    }
    return Region{record->start, record->startScale, record->dogs, record->route};
}
