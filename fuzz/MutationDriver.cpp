// Runs the fuzz target without a fuzzing engine, as an ordinary test: every
// truncation of a few well-formed tiles and a fixed series of byte
// mutations. Under the address sanitizer this catches reads past the tile.

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "SyntheticTile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run(const std::string& input)
{
    // An exact-size copy, so the sanitizer sees any read beyond it.
    std::vector<std::uint8_t> bytes(input.begin(), input.end());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

int main()
{
    std::mt19937 random(20261206);
    unsigned long inputs = 0;
    for (unsigned int seed = 1; seed <= 3; ++seed) {
        const std::string tile = mvt::makeSyntheticTile(seed, std::size_t{600} * seed);
        for (std::size_t length = 0; length <= tile.size(); ++length) {
            run(tile.substr(0, length));
            ++inputs;
        }
        for (int round = 0; round < 3000; ++round) {
            std::string mutated = tile;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % mutated.size();
                mutated[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
            }
            run(mutated);
            ++inputs;
        }
    }
    std::printf("%lu inputs read without a memory fault\n", inputs);
    return 0;
}
