#include "sim/OutputFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

std::string refuseNonRegular(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return path.string() + " exists and is not a regular file";
    }
    return {};
}

std::string checkWritable(const std::filesystem::path& path)
{
    const std::filesystem::path temporary = path.string() + ".partial";
    for (const std::filesystem::path& checked : {path, temporary}) {
        if (std::string problem = refuseNonRegular(checked); !problem.empty()) {
            return problem;
        }
    }
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return path.string() + " cannot be written: " + std::strerror(errno);
    }
    std::fclose(file);
    std::remove(temporary.c_str());
    return {};
}

} // namespace sim
