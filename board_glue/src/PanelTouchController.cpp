#include "board_glue/PanelTouchController.hpp"

#include "board_glue/TouchInterrupt.hpp"
#include "portable/Math.hpp"
#include "ui/TouchGestures.hpp"

namespace target {

namespace {

constexpr float degreesPerRadian = 57.2957763671875f;

// Unmasks the touch interrupt on every way out of a sample.
class MaskedTouchInterrupt {
public:
    explicit MaskedTouchInterrupt(TouchPanelPort& panelPort) : port(panelPort) { port.maskTouchInterrupt(); }
    ~MaskedTouchInterrupt() { port.unmaskTouchInterrupt(); }
    MaskedTouchInterrupt(const MaskedTouchInterrupt&) = delete;
    MaskedTouchInterrupt& operator=(const MaskedTouchInterrupt&) = delete;

private:
    TouchPanelPort& port;
};

std::uint16_t littleEndian16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

} // namespace

bool PanelTouchController::sampleTouch(std::int32_t& x, std::int32_t& y)
{
    MaskedTouchInterrupt masked(port);
    // The line only says when to look. A line stuck low brings no more
    // edges, so without one the status is still read now and then; its
    // ready bit says whether there is anything new.
    if (!doSampleTouch && ++samplesWithoutEdge < pollPeriod) {
        return withoutReading();
    }
    samplesWithoutEdge = 0;
    doSampleTouch = false;

    // A chip that does not answer, or answers with what it cannot mean,
    // gives no reading this time; the touch and the gesture state wait for
    // a sound one.
    std::uint8_t status = 0;
    if (!port.readRegisters(statusRegister, &status, 1) || (status & bufferReady) == 0) {
        return withoutReading();
    }
    const std::uint8_t acknowledge = 0;
    std::uint8_t first[4];
    std::uint8_t second[4];
    if (!port.writeRegisters(statusRegister, &acknowledge, 1) ||
        !port.readRegisters(firstPointRegister, first, sizeof first) ||
        !port.readRegisters(secondPointRegister, second, sizeof second)) {
        return withoutReading();
    }
    const std::int32_t touches = status & 0x0F;
    if (touches > maxPoints || (touches >= 1 && !onPanel(first)) || (touches >= 2 && !onPanel(second))) {
        return withoutReading();
    }
    samplesSinceReading = 0;

    const PanelPoint p1{static_cast<float>(littleEndian16(first)), static_cast<float>(littleEndian16(first + 2))};
    const PanelPoint p2{static_cast<float>(littleEndian16(second)), static_cast<float>(littleEndian16(second + 2))};

    if (touches == 0 && prevTouches > 0) {
        release();
    } else if (touches == 1) {
        oneFinger(p1);
        x = littleEndian16(first);
        y = littleEndian16(first + 2);
    } else if (touches == 2 && prevTouches != 2) {
        twoFingersDown(p1, p2);
    } else if (touches == 2) {
        twoFingersMove(p1, p2);
    }
    // Three or more fingers are no map gesture: the state stays as it is.

    prevTouches = touches;
    return touches != 0;
}

// While a finger is down the chip reports more often than frames come, and
// its release is a report too. So a sample without a sound reading changes
// nothing: a finger that was down stays down where it was, one that was up
// stays up. Only a long silence may have hidden the release: the touch ends.
bool PanelTouchController::withoutReading()
{
    if (samplesSinceReading < staleAfter) {
        ++samplesSinceReading;
    }
    if (samplesSinceReading >= staleAfter && prevTouches > 0) {
        release();
        prevTouches = 0;
    }
    return prevTouches > 0;
}

bool PanelTouchController::onPanel(const std::uint8_t* point)
{
    return littleEndian16(point) < panelWidth && littleEndian16(point + 2) < panelHeight;
}

void PanelTouchController::release()
{
    prevP1 = {0.0f, 0.0f};
    prevP2 = {0.0f, 0.0f};
    mapTouchReady = false;
}

void PanelTouchController::oneFinger(PanelPoint p1)
{
    if (prevTouches == 1) {
        mapTx += p1.x - prevP1.x;
        mapTy += p1.y - prevP1.y;
    } else {
        // A new drag phase, from no finger, from a pinch or from a crowd.
        mapTx = 0.0f;
        mapTy = 0.0f;
        if (prevTouches == 2) {
            prevScale = mapScale;
            prevRotation = mapRotation;
        }
        mapGestureBegan = true;
    }
    prevP1 = p1;
    mapTouchReady = true;
}

void PanelTouchController::twoFingersDown(PanelPoint p1, PanelPoint p2)
{
    mapRotationCenterX = (p1.x + p2.x) * 0.5f;
    mapRotationCenterY = (p1.y + p2.y) * 0.5f;
    mapTx = 0.0f;
    mapTy = 0.0f;
    // Each pinch starts its own scale and rotation: the input handler takes
    // only ratios within a phase (it re-bases where a phase begins), and a
    // product kept since power-on overflows after enough pinches at the zoom
    // limit, after which no pinch would zoom again.
    mapScale = 1.0f;
    mapRotation = 0.0f;
    prevScale = mapScale;
    prevRotation = mapRotation;
    prevP1 = p1;
    prevP2 = p2;
    mapGestureBegan = true;
    mapTouchReady = true;
}

void PanelTouchController::twoFingersMove(PanelPoint p1, PanelPoint p2)
{
    const float previousDistance = portable::hypot(prevP2.x - prevP1.x, prevP2.y - prevP1.y);
    const float distance = portable::hypot(p2.x - p1.x, p2.y - p1.y);
    // Fingers meeting at one point would make the scale 0, and every later
    // pinch would multiply that 0: such a sample leaves the scale alone.
    const float ratio = (previousDistance > 0.0f && distance > 0.0f) ? distance / previousDistance : 1.0f;
    const float previousAngle = portable::atan2(prevP2.y - prevP1.y, prevP2.x - prevP1.x);
    const float angle = portable::atan2(p2.y - p1.y, p2.x - p1.x);
    const float centerX = (p1.x + p2.x) * 0.5f;
    const float centerY = (p1.y + p2.y) * 0.5f;
    const float previousCenterX = (prevP1.x + prevP2.x) * 0.5f;
    const float previousCenterY = (prevP1.y + prevP2.y) * 0.5f;

    mapScale = ratio * prevScale;
    mapRotation = prevRotation + (angle - previousAngle) * degreesPerRadian;
    mapTx += centerX - previousCenterX;
    mapTy += centerY - previousCenterY;
    mapRotationCenterX = centerX;
    mapRotationCenterY = centerY;

    prevScale = mapScale;
    prevRotation = mapRotation;
    prevP1 = p1;
    prevP2 = p2;
    mapTouchReady = true;
}

} // namespace target
