// The sample map's four GeoJSON files, each behind the byte that says which
// file the fuzz target reads it as.

#include <fstream>
#include <sstream>

#include "FuzzSeeds.hpp"
#include "tilepack/SourceData.hpp"

std::vector<std::string> fuzzSeeds()
{
    std::vector<std::string> seeds;
    const char* names[] = {"water.geojson", "roads.geojson", "areas.geojson", "places.geojson"};
    for (std::size_t file = 0; file < tilepack::sourceFileCount; ++file) {
        std::ifstream in(std::string(SAMPLE_MAP_DATA) + "/" + names[file]);
        std::ostringstream text;
        text << in.rdbuf();
        seeds.push_back(static_cast<char>(file) + text.str());
    }
    return seeds;
}
