#pragma once

// The real inputs a fuzz target starts from: its libFuzzer seed corpus
// (written by the mutation driver's --write-seeds) and the inputs the
// fixed mutation set of every test run is made from.

#include <string>
#include <vector>

std::vector<std::string> fuzzSeeds();
