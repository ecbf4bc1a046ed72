#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <nlohmann/json.hpp>

namespace boardtest {

struct ProgramResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs a shell command line and collects what it prints.
inline ProgramResult runCommand(const std::string& command)
{
    ProgramResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        result.output += buffer;
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

inline std::filesystem::path scratchDir(const std::string& name)
{
    // The process id keeps two test runs at once (presets, worktrees) apart.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mapboard_test_" + name + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path) << text;
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::vector<nlohmann::json> readTrace(const std::filesystem::path& path)
{
    std::vector<nlohmann::json> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(nlohmann::json::parse(line));
    }
    return lines;
}

} // namespace boardtest
