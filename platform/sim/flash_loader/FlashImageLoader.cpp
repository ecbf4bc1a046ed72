#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <sys/mman.h>

#include "TileReadCheck.hpp"
#include "platform/flash.h"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/FlashLoader.hpp"
#include "sim/ImageIntegrity.hpp"

namespace sim {

namespace {

// Where a loaded image lives: at the board's flash address when the host
// lets us map it there (addresses then need no relocation), otherwise in
// ordinary memory.
class LoadedImage {
public:
    explicit LoadedImage(const std::vector<std::uint8_t>& content)
    {
        // The board address itself is the point here.
        void* wanted = reinterpret_cast<void*>(std::uintptr_t{flashBaseAddress}); // NOLINT(performance-no-int-to-ptr)
        void* mapped = mmap(wanted, content.size(), PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (mapped == wanted) {
            std::memcpy(mapped, content.data(), content.size());
            mprotect(mapped, content.size(), PROT_READ);
            mapping = mapped;
            bytes = static_cast<const std::uint8_t*>(mapped);
        } else {
            // Kernels without MAP_FIXED_NOREPLACE may map elsewhere instead.
            if (mapped != MAP_FAILED) {
                munmap(mapped, content.size());
            }
            copy = content;
            bytes = copy.data();
        }
        size = content.size();
    }
    ~LoadedImage()
    {
        if (mapping != nullptr) {
            munmap(mapping, size);
        }
    }
    LoadedImage(const LoadedImage&) = delete;
    LoadedImage& operator=(const LoadedImage&) = delete;

    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;

private:
    void* mapping = nullptr;
    std::vector<std::uint8_t> copy;
};

std::unique_ptr<LoadedImage> current;

} // namespace

std::string loadFlashImage(const std::string& path)
{
    if (path.empty()) {
        return "flash image refused: no file name given";
    }
    const std::string prefix = "flash image " + path + " refused: ";
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        return prefix + error.message();
    }
    if (!std::filesystem::is_regular_file(status)) {
        return prefix + "not a regular file";
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return prefix + std::strerror(errno);
    }
    std::vector<std::uint8_t> content;
    try {
        content.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception& failure) {
        return prefix + failure.what();
    }
    if (in.bad()) {
        return prefix + "read error";
    }
    std::string problem = checkFlashImage(content.data(), content.size());
    if (problem.empty()) {
        problem = checkImageIntegrity(content.data(), content.size());
    }
    if (problem.empty()) {
        problem = readEveryTile(content.data());
    }
    if (!problem.empty()) {
        return prefix + problem;
    }
    // The old image is released only after the new one is installed.
    auto loaded = std::make_unique<LoadedImage>(content);
    installFlashImage(loaded->bytes, loaded->size);
    current = std::move(loaded);
    return {};
}

} // namespace sim
