#pragma once

// Checks on a path a program writes a whole file to, by writing it beside
// the path and renaming it over it.

#include <filesystem>
#include <string>

namespace sim {

// "PATH exists and is not a regular file" when it is a device, a link, a
// folder or a pipe, which the rename would replace; empty otherwise.
std::string refuseNonRegular(const std::filesystem::path& path);

// Why nothing can be written to `path` in that way (checked by creating and
// removing PATH.partial), so that a long run can refuse it before it starts;
// empty when it can.
std::string checkWritable(const std::filesystem::path& path);

} // namespace sim
