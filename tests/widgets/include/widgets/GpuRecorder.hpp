#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A recording double of the GPU library: every call is logged with its
// arguments; shapes are copied, since callers reuse their buffers.
namespace recorder {

struct Call {
    std::string name;
    std::vector<double> args;
    std::vector<std::uint8_t> commands; // set_shape*
    std::vector<float> floats;          // set_shape*; set_matrix: the nine elements
    const void* handle = nullptr;       // the path or paint the call was made on
};

std::vector<Call>& calls();
void clear();
std::vector<Call> named(const std::string& name);
std::vector<std::string> names();

} // namespace recorder
