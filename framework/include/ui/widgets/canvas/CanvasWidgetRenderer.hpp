#pragma once

#include <cstdint>

namespace ui {

// The scratch memory canvas widgets render their coverage into. Each screen
// that shows canvas widgets registers a buffer it owns.
class CanvasWidgetRenderer {
public:
    static void setupBuffer(std::uint8_t* buffer, unsigned int bufferSize);
    static void resetBuffer();
    static bool hasBuffer() { return scratch != nullptr && scratchSize > 0; }
    static std::uint8_t* getBuffer() { return scratch; }
    static unsigned int getBufferSize() { return scratchSize; }

private:
    static std::uint8_t* scratch;
    static unsigned int scratchSize;
};

} // namespace ui
