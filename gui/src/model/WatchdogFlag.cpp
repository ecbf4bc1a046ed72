#include "model/WatchdogFlag.hpp"

std::atomic<bool> watchdogRefreshEnabled{true};
