#pragma once

// Which layer, class and zoom levels OpenStreetMap objects get by their tags,
// read from a JSON file of rules. Every rule that matches an object's tags
// and shape gives it one stored feature.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tilepack/SourceMapping.hpp"

namespace tilepack {

// Points are tagged nodes, lines are ways, areas are closed ways and
// multipolygon relations as assembled.
enum class OsmShape { Point, Line, Area };

using Tags = std::vector<std::pair<std::string_view, std::string_view>>;

struct TagRule {
    std::string key;
    std::vector<std::string> values; // "*" matches any value but "no"
    OsmShape shape;
    std::string layer;
    std::string featureClass; // "default": the feature carries no class
    std::uint8_t minZoom;
    std::uint8_t maxZoom;
    unsigned int line; // in the mapping file
};

class TagMapping {
public:
    // Throws with "FILE:LINE: problem" when the file is unreadable, not
    // JSON, or a rule is incomplete or out of range.
    static TagMapping read(const std::filesystem::path& file);
    static TagMapping parse(const std::string& text, const std::string& name);

    // The stored features an object with these tags becomes; empty when no
    // rule matches. Roads carry class, type, structure and oneway, places
    // their type and name (none without a name), buildings whether they lie
    // underground, every other layer its class.
    std::vector<LayerAssignment> assign(const Tags& tags, OsmShape shape) const;

    const std::vector<TagRule>& rules() const { return ruleList; }

private:
    std::vector<TagRule> ruleList;
};

std::string_view tagValue(const Tags& tags, std::string_view key);

} // namespace tilepack
