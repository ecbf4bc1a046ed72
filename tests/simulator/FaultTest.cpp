// Hardware faults injected by the stand-ins: the board must go on drawing
// frames, and touch must recover or carry on where the fault allows it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "ProgramRun.hpp"

using boardtest::readTrace;
using boardtest::runCommand;
using boardtest::writeFile;

namespace {

const std::string program = MAPBOARD_PROGRAM;
constexpr int frames = 70;

// A drag of (200, 100) pixels over 200 ms, from `atMs`.
std::string dragAt(int atMs)
{
    return std::to_string(atMs) + " drag 100 100 300 200 200\n";
}

struct FaultCase {
    const char* name;
    std::string fault;
    std::string script;
    int stillUntilMs; // the map must not move before then
    float minDragX;   // the gesture's x translation at the end
    float maxDragX;
    int longestFrameMs = 17; // the longest time between two frames at least
    bool damagesTile = false;
    bool failsBlits = false;
};

void PrintTo(const FaultCase& faultCase, std::ostream* out)
{
    *out << faultCase.fault;
}

class BoardFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(BoardFault, TheBoardGoesOnDrawingFrames)
{
    const FaultCase& faultCase = GetParam();
    const auto dir = boardtest::scratchDir(std::string("fault_") + faultCase.name);
    writeFile(dir / "script.txt", faultCase.script);
    const auto trace = dir / "trace.jsonl";
    const auto run = runCommand(program + " --headless --frames " + std::to_string(frames) + " --out " +
                                (dir / "last.png").string() + " --trace " + trace.string() + " --script " +
                                (dir / "script.txt").string() + " --fault " + faultCase.fault);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("watchdog reset"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("assertion"), std::string::npos) << run.output;
    const auto lines = readTrace(trace);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(frames));
    int longestFrameMs = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i]["frame"], i + 1);
        const int frameMs = lines[i]["time_ms"].get<int>() - lines[i - 1]["time_ms"].get<int>();
        ASSERT_GT(frameMs, 0) << "board time stands still at frame " << i + 1;
        longestFrameMs = std::max(longestFrameMs, frameMs);
    }
    EXPECT_GE(longestFrameMs, faultCase.longestFrameMs);
    if (faultCase.damagesTile) {
        EXPECT_GE(lines.back()["damaged_tiles"], 1) << "the damaged tile is counted";
    }
    if (faultCase.failsBlits) {
        EXPECT_GE(lines.back()["figures"]["failed blits"], 1) << "the refused blits are counted";
    }
    const auto& first = lines.front()["map"];
    for (const auto& line : lines) {
        if (line["time_ms"] < faultCase.stillUntilMs) {
            EXPECT_EQ(line["map"]["x"], first["x"]) << "the map moved at " << line["time_ms"] << " ms";
            EXPECT_EQ(line["map"]["y"], first["y"]);
        }
    }
    const float dragX = lines.back()["gesture"]["tx"].get<float>();
    EXPECT_GE(dragX, faultCase.minDragX);
    EXPECT_LE(dragX, faultCase.maxDragX);
    // Half as far down as across, in the map too: no jump on either axis.
    const double movedX = lines.back()["map"]["x"].get<double>() - first["x"].get<double>();
    const double movedY = lines.back()["map"]["y"].get<double>() - first["y"].get<double>();
    EXPECT_NEAR(movedY, movedX / 2, 8.0);
}

INSTANTIATE_TEST_SUITE_P(
    Mapboard, BoardFault,
    ::testing::Values(
        // The chip holds the bus while the first drag runs: no touch and no
        // hang; once it lets go the second drag moves the map all the way.
        FaultCase{"silent", "touch-silent@0-600", dragAt(100) + dragAt(700), 700, 200.0f, 200.0f},
        FaultCase{"toolate", "touch-late=20@0-600", dragAt(100) + dragAt(700), 700, 200.0f, 200.0f},
        FaultCase{"late", "touch-late=2", dragAt(100), 0, 200.0f, 200.0f},
        // Garbled reports are skipped: the drag goes on from the sound ones.
        FaultCase{"count", "touch-count=15", dragAt(100), 0, 200.0f, 200.0f},
        FaultCase{"outside", "touch-outside", dragAt(100), 0, 200.0f, 200.0f},
        // No edges: the status is polled, every fourth frame.
        FaultCase{"irqstuck", "touch-irq-stuck", dragAt(100), 0, 150.0f, 200.0f},
        FaultCase{"vsync", "vsync-late=40", dragAt(100), 0, 200.0f, 200.0f, 40 + 16},
        // A tile in view that no longer decodes is left out, every time.
        FaultCase{"bitflip", "tile-bitflip", dragAt(100), 0, 200.0f, 200.0f, 17, true},
        // Blits the blitter refuses fail, counted; the frames go on.
        FaultCase{"blitstart", "blitter-start@200-400", dragAt(100), 0, 200.0f, 200.0f, 17, false, true},
        FaultCase{"blitlayer", "blitter-layer@200-400", dragAt(100), 0, 200.0f, 200.0f, 17, false, true}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

// A finger held on the menu's dog tracker button from 1 s to 3 s is one
// click: the dog screen comes with the release, never while the finger is
// down, whatever the touch chip does in between.
class TouchFaultClick : public ::testing::TestWithParam<std::string> {};

TEST_P(TouchFaultClick, AHeldFingerIsOneClickReleasedOnce)
{
    constexpr int releaseMs = 3000;
    const auto dir = boardtest::scratchDir("click");
    writeFile(dir / "script.txt", "100 key M\n1000 press 560 240\n" + std::to_string(releaseMs) + " release\n");
    const auto trace = dir / "trace.jsonl";
    const auto run =
        runCommand(program + " --headless --frames 195 --out " + (dir / "last.png").string() + " --trace " +
                   trace.string() + " --script " + (dir / "script.txt").string() + " --fault " + GetParam());
    ASSERT_EQ(run.status, 0) << run.output;
    int dogScreenMs = -1;
    for (const auto& line : readTrace(trace)) {
        if (line["screen"] == "dogtrack" && dogScreenMs < 0) {
            dogScreenMs = line["time_ms"].get<int>();
        }
    }
    EXPECT_GE(dogScreenMs, releaseMs) << "the button fired while the finger was down";
    // A lost release ends the touch after eight samples; the switch takes
    // two frames more.
    EXPECT_LE(dogScreenMs, releaseMs + 12 * 17) << "no click at all";
}

INSTANTIATE_TEST_SUITE_P(Mapboard, TouchFaultClick,
                         ::testing::Values("touch-silent@1500-1550", "touch-late=20@1500-1600", "touch-late=2",
                                           "touch-count=15", "touch-outside", "touch-irq-stuck"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name;
                             for (const char c : param.param) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

// A set-up step the GPU library or the blitter fails stops the board in
// Error_Handler, which names it.
TEST(Mapboard, AFailedGpuOrBlitterSetUpStopsTheBoardNamingTheStep)
{
    const std::pair<const char*, const char*> cases[] = {{"gpu-init", "GPU library initialisation"},
                                                         {"gpu-stencil", "GPU stencil buffer creation"},
                                                         {"blitter-init", "blitter configuration"}};
    for (const auto& [fault, step] : cases) {
        const auto run = runCommand(program + " --headless --frames 5 --fault " + fault);
        EXPECT_EQ(run.status, 2) << fault;
        EXPECT_NE(run.output.find(std::string("Error_Handler: ") + step + " failed"), std::string::npos) << run.output;
    }
}

TEST(Mapboard, ABadFaultIsRefusedInOneLine)
{
    for (const std::string fault : {"touch-lost", "touch-count=4", "touch-late", "touch-silent=1",
                                    "vsync-late=5@300-200", "tile-bitflip=1/2", "tile-bitflip=1/2/3"}) {
        const auto run = runCommand(program + " --headless --frames 1 --fault " + fault);
        EXPECT_EQ(run.status, 2) << fault;
        EXPECT_EQ(run.output.rfind("mapboard: ", 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
}

} // namespace
