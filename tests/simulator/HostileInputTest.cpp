// mapboard against hostile command lines, scripts and file systems: each is
// refused in one line with a non-zero status, and nothing but a picture or a
// trace is written over.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.hpp"

using boardtest::runCommand;
using boardtest::writeFile;

namespace {

const std::string program = MAPBOARD_PROGRAM;

// One line of text naming the program, whatever else was printed before.
bool saysInOneLine(const std::string& output, const std::string& text)
{
    const std::size_t at = output.find(text);
    return at != std::string::npos && output.rfind("mapboard: ", at) != std::string::npos &&
           output.find('\n', at) == output.size() - 1;
}

// A private mount namespace over `dir`, where device nodes and a small disk
// can be made without touching the machine's own.
bool privateMountsAvailable()
{
    return runCommand("unshare -m true").status == 0;
}

std::string inPrivateMount(const std::filesystem::path& dir, const std::string& options, const std::string& commands)
{
    return "unshare -m sh -c 'mount -t tmpfs -o " + options + " none " + dir.string() + " && " + commands + "'";
}

} // namespace

TEST(MapboardHostile, OptionsOutOfRangeAreRefused)
{
    const auto dir = boardtest::scratchDir("options");
    const auto out = " --out " + (dir / "last.png").string();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"--soak -1", "--soak '-1': a whole number from 0 to"},
        {"--soak ''", "--soak '': a whole number"},
        {"--frames 0x10", "--frames '0x10': a whole number from 1 to 100000000"},
        {"--frames +5", "--frames '+5'"},
        {"--frames 010 --zoom 0x2", "--zoom '0x2'"},
        {"--headless --after-reset -1", "--after-reset '-1'"},
        {"--headless --after-reset 999999 --frames 60", "--after-reset 999999: the run has only 60 frames"},
        {"--soak 3 --after-reset 10 --frames 10", "--after-reset 10: the run has only 10 frames"},
        {"--headless --trace ''", "--trace needs a file name"},
        {"--headless --record ''", "--record needs a file name"},
        {"--headless --record " + (dir / "no" / "input.txt").string(), "input.txt: No such file or directory"},
        {"--headless --record " + dir.string(), "exists and is not a regular file"},
        {"--soak 1 --record " + (dir / "input.txt").string(), "a soak run replays from its seed"},
    };
    for (const auto& [options, expected] : cases) {
        const bool traced = options.find("--trace") == std::string::npos;
        const auto run =
            runCommand(program + " " + options + out + (traced ? " --trace " + (dir / "trace.jsonl").string() : ""));
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_TRUE(saysInOneLine(run.output, expected)) << options << ": " << run.output;
        EXPECT_FALSE(std::filesystem::exists(dir / "trace.jsonl")) << options << ": refused before the run";
    }
}

TEST(MapboardHostile, OnlyASmallRegularFileIsReadAsAScript)
{
    const auto dir = boardtest::scratchDir("scripts");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    writeFile(dir / "large.txt", std::string(1 << 20, '#') + "\n");
    std::filesystem::create_directory(dir / "folder");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"/dev/null", "/dev/null: not a regular file"},
        {(dir / "fifo").string(), "fifo: not a regular file"},
        {(dir / "large.txt").string(), "large.txt: larger than the 1048576 bytes a script may hold"},
    };
    for (const auto& [script, expected] : cases) {
        // The bound only keeps a regression from hanging the tests.
        const auto run = runCommand("timeout 60 " + program + " --headless --frames 1 --out " +
                                    (dir / "last.png").string() + " --script " + script);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_TRUE(saysInOneLine(run.output, expected)) << script << ": " << run.output;
    }
}

TEST(MapboardHostile, OutIsAPictureOrNothingAndIsCheckedBeforeTheRun)
{
    const auto dir = boardtest::scratchDir("out");
    const auto trace = (dir / "trace.jsonl").string();
    std::filesystem::create_symlink(dir / "elsewhere.png", dir / "link.png");
    const auto linked =
        runCommand(program + " --headless --frames 1 --trace " + trace + " --out " + (dir / "link.png").string());
    EXPECT_EQ(linked.status, 2);
    EXPECT_TRUE(saysInOneLine(linked.output, "link.png exists and is not a regular file")) << linked.output;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));

    const auto nowhere = runCommand(program + " --headless --frames 1 --trace " + trace + " --out " +
                                    (dir / "no" / "board.png").string());
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_TRUE(saysInOneLine(nowhere.output, "board.png cannot be written: No such file or directory"))
        << nowhere.output;
    EXPECT_FALSE(std::filesystem::exists(trace)) << "refused before the first frame";
}

TEST(MapboardHostile, ADeviceNodeIsNeverReplacedAndWriteFailuresFailTheRun)
{
    if (!privateMountsAvailable()) {
        GTEST_SKIP() << "no private mount namespace (unshare -m needs root)";
    }
    const auto dir = boardtest::scratchDir("device");
    const auto disk = dir / "disk";
    std::filesystem::create_directory(disk);
    const std::string full = (disk / "full").string();
    const std::string makeFull = "mknod " + full + " c 1 7 && ";
    const std::string run = program + " --headless --frames 20 --out " + (disk / "last.png").string();

    const auto device = runCommand(inPrivateMount(disk, "size=1m",
                                                  makeFull + program + " --headless --frames 20 --out " + full +
                                                      "; echo status $?; stat -c %F " + full));
    EXPECT_NE(device.output.find("--out " + full +
                                 " exists and is not a regular file\nstatus 2\n"
                                 "character special file\n"),
              std::string::npos)
        << device.output;

    const auto trace = runCommand(inPrivateMount(disk, "size=1m", makeFull + run + " --trace " + full));
    EXPECT_EQ(trace.status, 1) << trace.output;
    EXPECT_TRUE(saysInOneLine(trace.output, "cannot write the trace " + full + ": No space left on device"))
        << trace.output;

    // A picture of the board needs more than this disk holds.
    writeFile(dir / "script.txt", "100 screenshot " + (disk / "shot.png").string() + "\n");
    const auto shot = runCommand(inPrivateMount(disk, "size=16k", run + " --script " + (dir / "script.txt").string()));
    EXPECT_EQ(shot.status, 1) << shot.output;
    EXPECT_TRUE(saysInOneLine(shot.output, "screenshot: cannot write " + (disk / "shot.png.partial").string()))
        << shot.output;
}
