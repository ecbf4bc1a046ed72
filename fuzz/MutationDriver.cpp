// Runs a fuzz target without a fuzzing engine, as an ordinary test: every
// seed (real inputs), cuts of each and a fixed series of byte mutations.
// Under the address sanitizer this catches reads past the input.
// `--write-seeds DIR` writes the seeds as a libFuzzer corpus instead.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "FuzzSeeds.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int cutsPerSeed = 64;
constexpr int mutationsPerSeed = 300;

void run(const std::string& input)
{
    // An exact-size copy, so the sanitizer sees any read beyond it.
    std::vector<std::uint8_t> bytes(input.begin(), input.end());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

int writeSeeds(const std::filesystem::path& directory, const std::vector<std::string>& seeds)
{
    std::filesystem::create_directories(directory);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream file(directory / ("seed_" + std::to_string(i)), std::ios::binary);
        file.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
        if (!file) {
            std::fprintf(stderr, "cannot write the seeds to %s\n", directory.c_str());
            return 1;
        }
    }
    std::printf("%zu seeds written to %s\n", seeds.size(), directory.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> seeds = fuzzSeeds();
    if (argc == 3 && std::string(argv[1]) == "--write-seeds") {
        return writeSeeds(argv[2], seeds);
    }
    std::mt19937 random(20261206);
    unsigned long inputs = 0;
    for (const std::string& seed : seeds) {
        run(seed);
        for (int cut = 0; cut < cutsPerSeed && !seed.empty(); ++cut) {
            run(seed.substr(0, random() % seed.size()));
        }
        for (int round = 0; round < mutationsPerSeed && !seed.empty(); ++round) {
            std::string mutated = seed;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % mutated.size();
                mutated[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
            }
            run(mutated);
        }
        inputs += 1 + cutsPerSeed + mutationsPerSeed;
    }
    std::printf("%lu inputs from %zu seeds read without a memory fault\n", inputs, seeds.size());
    return 0;
}
