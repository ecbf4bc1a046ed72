#include "simulator/InputMemory.hpp"

namespace simulator {

InputMemory::InputMemory(std::size_t limitBytes) : limit(limitBytes)
{
    keep(header);
}

bool InputMemory::keep(const std::string& line)
{
    stopped = stopped || script.size() + line.size() + 1 > limit;
    if (stopped) {
        return false;
    }
    script += line;
    script += '\n';
    return true;
}

} // namespace simulator
