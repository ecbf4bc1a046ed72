#pragma once

#include "mvp/Partition.hpp"

namespace ui {

class MVPApplication;

// The three slots in which the active screen, presenter and transition live.
class MVPHeap {
public:
    MVPHeap(AbstractPartition& presenters, AbstractPartition& screens, AbstractPartition& transitions,
            MVPApplication& application)
        : presenterStorage(presenters), screenStorage(screens), transitionStorage(transitions),
          frontendApplication(application)
    {
    }
    virtual ~MVPHeap() = default;

    AbstractPartition& presenterStorage;
    AbstractPartition& screenStorage;
    AbstractPartition& transitionStorage;
    MVPApplication& frontendApplication;
};

} // namespace ui
