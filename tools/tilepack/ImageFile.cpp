#include "tilepack/ImageFile.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "sim/OutputFile.hpp"

namespace tilepack {

void checkOutput(const std::filesystem::path& out, const char* option)
{
    if (const std::string problem = sim::checkWritable(out); !problem.empty()) {
        throw std::runtime_error(std::string(option) + " " + problem);
    }
}

void writeImage(const std::filesystem::path& out, const std::vector<std::uint8_t>& image)
{
    const std::filesystem::path temporary = out.string() + ".partial";
    std::string problem;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.is_open()) {
            // Before anything else can overwrite errno.
            problem = std::strerror(errno);
        }
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        file.close();
        if (problem.empty() && !file) {
            problem = std::strerror(errno);
        }
    }
    std::error_code renameError;
    if (problem.empty()) {
        std::filesystem::rename(temporary, out, renameError);
    }
    if (!problem.empty() || renameError) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw std::runtime_error(problem.empty() ? "cannot replace " + out.string() + ": " + renameError.message()
                                                 : "cannot write " + temporary.string() + ": " + problem);
    }
}

} // namespace tilepack
