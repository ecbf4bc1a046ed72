#include "map_screen/FrameRateMeter.hpp"

#include "board_config/BoardConfig.hpp"

namespace {

constexpr std::uint32_t framesPerReading = 50;
constexpr auto refreshesPerSecond = static_cast<float>(board::framesPerSecond);

} // namespace

bool FrameRateMeter::addFrame(std::uint8_t refreshes, float& fps)
{
    refreshCount += refreshes;
    if (count != framesPerReading) {
        ++count;
        return false;
    }
    fps = refreshesPerSecond / static_cast<float>(refreshCount) * static_cast<float>(framesPerReading);
    refreshCount = 0;
    count = 1;
    return true;
}
