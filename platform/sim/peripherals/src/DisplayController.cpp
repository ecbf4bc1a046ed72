// The display controller: timing registers, one layer whose address has a
// shadow register, and the programmable line event. It scans the board's
// frames a second from the kernel clock; each line has its moment within
// the frame.

#include <cstring>
#include <mutex>
#include <vector>

#include "BoardState.hpp"
#include "board_config/BoardConfig.hpp"
#include "device_models/DisplayTiming.hpp"
#include "device_models/Faults.hpp"
#include "sim/BoardFaults.hpp"
#include "sim/Interrupts.hpp"

namespace {

using ::board::framesPerSecond;

struct Controller {
    bool initialised = false;
    bsp::DisplayTiming timing{};
    bsp::DisplayLayer layer{};
    std::uintptr_t shadowAddress = 0;
    bool reloadAtBlank = false;
    std::uint16_t eventLine = 0;
    bool lineInterrupt = false;
    std::uint64_t lastLineIndex = 0; // lines since time 0 at the last event
    std::uint64_t firedLineMs = 0;   // when the line event handled last was due
    std::uint64_t frames = 0;
    std::uint64_t nextScanLine = 0; // line index of the next frame start
    std::uint64_t stalledMs = 0;    // refreshes that came late have moved the scan this far
};

Controller controller;

std::mutex panelMutex;
bool panelCopy = false;
std::vector<std::uint16_t> panel;
std::uint64_t panelFrame = 0;

std::uint64_t totalLines()
{
    return devices::display::linesPerFrame(controller.timing);
}

std::uint64_t lineTimeMs(std::uint64_t lineIndex)
{
    return devices::display::lineTime(lineIndex, 1000, totalLines()) + controller.stalledMs;
}

std::uint64_t lineIndexAt(std::uint64_t ms)
{
    const std::uint64_t scanMs = ms > controller.stalledMs ? ms - controller.stalledMs : 0;
    return scanMs * framesPerSecond * totalLines() / 1000;
}

std::uint64_t nextOccurrence(std::uint16_t line, std::uint64_t after)
{
    return devices::display::nextOccurrence(line, after, totalLines());
}

void lineEvent(void* context);

void armLineEvent(std::uint64_t index)
{
    sim::scheduleInterrupt(lineEvent, &controller.eventLine, lineTimeMs(index));
    controller.lastLineIndex = index;
}

void lineEvent(void*)
{
    const std::uint64_t fired = controller.lastLineIndex;
    controller.firedLineMs = lineTimeMs(fired);
    if (controller.lineInterrupt && sim::board::detail::interruptEnabled(bsp::Irq::Display)) {
        HAL_Display_LineEventCallback();
    }
    // The event register keeps its line: it fires again a frame later
    // unless the callback programmed another.
    if (controller.lastLineIndex == fired) {
        armLineEvent(nextOccurrence(controller.eventLine, fired));
    }
}

void scanFrame(void*)
{
    if (controller.reloadAtBlank) {
        controller.layer.frameBufferAddress = controller.shadowAddress;
        controller.reloadAtBlank = false;
    }
    ++controller.frames;
    const std::uint16_t* shown = sim::board::shownFrame();
    {
        std::lock_guard lock(panelMutex);
        if (panelCopy && shown != nullptr) {
            panel.assign(shown, shown + std::ptrdiff_t{sim::board::panelWidth} * sim::board::panelHeight);
            panelFrame = controller.frames;
        }
    }
    controller.nextScanLine += totalLines();
    // A late refresh: the scan and its line events wait, once a second.
    std::uint32_t lateMs = 0;
    if (controller.frames % framesPerSecond == 0 && devices::faultActive(devices::Fault::VsyncLate, &lateMs)) {
        controller.stalledMs += lateMs;
        if (controller.lineInterrupt) {
            armLineEvent(controller.lastLineIndex);
        }
    }
    sim::scheduleInterrupt(scanFrame, &controller, lineTimeMs(controller.nextScanLine));
}

} // namespace

namespace sim::board {

std::uint64_t displayedFrames()
{
    return controller.frames;
}

std::uint64_t lineEventDueMs()
{
    return controller.firedLineMs;
}

const std::uint16_t* shownFrame()
{
    if (!controller.initialised || controller.layer.format != bsp::PixelFormat::RGB565) {
        return nullptr;
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the layer register holds an address
    return reinterpret_cast<const std::uint16_t*>(controller.layer.frameBufferAddress);
}

void enablePanelCopy()
{
    std::lock_guard lock(panelMutex);
    panelCopy = true;
}

std::uint64_t readPanel(std::uint16_t* pixels)
{
    std::lock_guard lock(panelMutex);
    if (panelFrame == 0) {
        return 0;
    }
    std::memcpy(pixels, panel.data(), panel.size() * sizeof(std::uint16_t));
    return panelFrame;
}

} // namespace sim::board

namespace sim::board::detail {

void resetDisplay()
{
    sim::cancelInterrupt(lineEvent, &controller.eventLine);
    sim::cancelInterrupt(scanFrame, &controller);
    controller = Controller{};
    std::lock_guard lock(panelMutex);
    panelFrame = 0;
}

} // namespace sim::board::detail

namespace bsp {

using sim::board::Step;
using sim::board::detail::takeFailure;

Status displayInit(const DisplayTiming& timing)
{
    if (takeFailure(Step::Display) || !devices::display::timingConsistent(timing)) {
        return Status::Error;
    }
    controller.timing = timing;
    controller.initialised = true;
    controller.nextScanLine = nextOccurrence(0, lineIndexAt(sim::kernelMilliseconds()));
    sim::scheduleInterrupt(scanFrame, &controller, lineTimeMs(controller.nextScanLine));
    return Status::Ok;
}

Status displayLayerInit(const DisplayLayer& layer)
{
    const DisplayTiming& t = controller.timing;
    const auto activeWidth = static_cast<std::uint16_t>(t.accumulatedActiveWidth - t.accumulatedHorizontalBackPorch);
    const auto activeHeight = static_cast<std::uint16_t>(t.accumulatedActiveHeight - t.accumulatedVerticalBackPorch);
    if (!controller.initialised || takeFailure(Step::Display) || layer.windowX1 > activeWidth ||
        layer.windowY1 > activeHeight || layer.windowX0 >= layer.windowX1 || layer.windowY0 >= layer.windowY1) {
        return Status::Error;
    }
    controller.layer = layer;
    controller.shadowAddress = layer.frameBufferAddress;
    return Status::Ok;
}

DisplayTiming displayTiming()
{
    return controller.timing;
}

void displaySetLineEvent(std::uint16_t line)
{
    controller.eventLine = line;
    if (!controller.lineInterrupt) {
        return;
    }
    const std::uint64_t after = sim::inInterrupt() ? controller.lastLineIndex : lineIndexAt(sim::kernelMilliseconds());
    armLineEvent(nextOccurrence(line, after));
}

void displayEnableLineInterrupt()
{
    if (!controller.initialised || controller.lineInterrupt) {
        return;
    }
    controller.lineInterrupt = true;
    armLineEvent(nextOccurrence(controller.eventLine, lineIndexAt(sim::kernelMilliseconds())));
}

std::uintptr_t displayLayerAddress()
{
    return controller.layer.frameBufferAddress;
}

void displaySetLayerAddress(std::uintptr_t address, bool immediateReload)
{
    controller.shadowAddress = address;
    if (immediateReload) {
        controller.layer.frameBufferAddress = address;
        controller.reloadAtBlank = false;
    } else {
        controller.reloadAtBlank = true;
    }
}

} // namespace bsp
