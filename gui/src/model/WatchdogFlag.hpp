#pragma once

#include <atomic>

// Lets the default task keep refreshing the watchdog; read by that task,
// set by the GUI task when the user touches the pizza screen.
extern std::atomic<bool> watchdogRefreshEnabled;
