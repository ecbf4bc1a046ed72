#include "simulator/InputRecorder.hpp"

#include <cerrno>
#include <cstring>

namespace simulator {

std::string InputRecorder::open(const std::string& path)
{
    file.open(path, std::ios::trunc);
    if (!file) {
        return std::strerror(errno);
    }
    filePath = path;
    file << header << '\n' << std::flush;
    return file ? std::string() : std::strerror(errno);
}

bool InputRecorder::keep(const std::string& line)
{
    file << line << '\n' << std::flush;
    return static_cast<bool>(file);
}

} // namespace simulator
