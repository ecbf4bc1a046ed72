#include "sim/DefaultFlash.hpp"

#include "sim/Flash.hpp"

extern "C" const std::uint8_t defaultFlashImageBegin[];
extern "C" const std::uint8_t defaultFlashImageEnd[];

namespace sim {

FlashImageView defaultFlashImage()
{
    return FlashImageView{defaultFlashImageBegin,
                          static_cast<std::size_t>(defaultFlashImageEnd - defaultFlashImageBegin)};
}

namespace {

// Programs run on the built-in collection unless they load another image.
[[maybe_unused]] const bool installed = [] {
    const FlashImageView image = defaultFlashImage();
    installFlashImage(image.bytes, image.size);
    return true;
}();

} // namespace

} // namespace sim
