#include "tilepack/TagMapping.hpp"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "tilepack/CollectionTable.hpp"

namespace tilepack {

namespace {

using nlohmann::json;

unsigned int lineAt(const std::string& text, std::size_t offset)
{
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size()));
    return 1 + static_cast<unsigned int>(std::count(text.begin(), end, '\n'));
}

// The line of each object that opens at the depth of the rules, in order:
// the parsed document keeps no positions.
std::vector<unsigned int> ruleLines(const std::string& text)
{
    std::vector<unsigned int> lines;
    unsigned int line = 1;
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (c == '{' && depth == 2) {
                lines.push_back(line);
            }
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return lines;
}

OsmShape shapeNamed(const std::string& name)
{
    if (name == "point") {
        return OsmShape::Point;
    }
    if (name == "line") {
        return OsmShape::Line;
    }
    if (name == "area") {
        return OsmShape::Area;
    }
    throw std::runtime_error("\"geometry\" must be \"point\", \"line\" or \"area\", not \"" + name + "\"");
}

std::string text(const json& rule, const char* key)
{
    const auto found = rule.find(key);
    if (found == rule.end() || !found->is_string() || found->get<std::string>().empty()) {
        throw std::runtime_error(std::string("\"") + key + "\" must be a non-empty string");
    }
    return found->get<std::string>();
}

std::uint8_t zoom(const json& rule, const char* key, std::uint8_t fallback)
{
    const auto found = rule.find(key);
    if (found == rule.end()) {
        return fallback;
    }
    if (!found->is_number_integer() || *found < firstZoom || *found > lastZoom) {
        throw std::runtime_error(std::string("\"") + key + "\" must be a whole number from " +
                                 std::to_string(firstZoom) + " to " + std::to_string(lastZoom));
    }
    return found->get<std::uint8_t>();
}

TagRule ruleOf(const json& rule, unsigned int line)
{
    if (!rule.is_object()) {
        throw std::runtime_error("a rule must be an object");
    }
    static const char* const known[] = {"key", "values", "geometry", "layer", "class", "minzoom", "maxzoom"};
    for (const auto& field : rule.items()) {
        const std::string& name = field.key();
        if (std::find_if(std::begin(known), std::end(known), [&](const char* k) { return name == k; }) ==
            std::end(known)) {
            throw std::runtime_error("unknown field \"" + name + "\"");
        }
    }
    TagRule out{text(rule, "key"),
                {},
                shapeNamed(text(rule, "geometry")),
                text(rule, "layer"),
                text(rule, "class"),
                0,
                0,
                line};
    const auto values = rule.find("values");
    if (values == rule.end() || !values->is_array() || values->empty()) {
        throw std::runtime_error("\"values\" must be a list of strings");
    }
    for (const json& value : *values) {
        if (!value.is_string()) {
            throw std::runtime_error("\"values\" must be a list of strings");
        }
        out.values.push_back(value.get<std::string>());
    }
    if (rule.find("minzoom") == rule.end()) {
        throw std::runtime_error("\"minzoom\" is missing");
    }
    out.minZoom = zoom(rule, "minzoom", firstZoom);
    out.maxZoom = zoom(rule, "maxzoom", lastZoom);
    if (out.maxZoom < out.minZoom) {
        throw std::runtime_error("\"maxzoom\" lies before \"minzoom\"");
    }
    return out;
}

bool matches(const TagRule& rule, std::string_view value)
{
    return std::any_of(rule.values.begin(), rule.values.end(),
                       [&](const std::string& wanted) { return wanted == value || (wanted == "*" && value != "no"); });
}

std::string structureOf(const Tags& tags)
{
    if (const std::string_view bridge = tagValue(tags, "bridge"); !bridge.empty() && bridge != "no") {
        return "bridge";
    }
    if (const std::string_view tunnel = tagValue(tags, "tunnel"); !tunnel.empty() && tunnel != "no") {
        return "tunnel";
    }
    return "none";
}

bool isOneway(const Tags& tags)
{
    const std::string_view oneway = tagValue(tags, "oneway");
    return oneway == "yes" || oneway == "true" || oneway == "1" || oneway == "-1";
}

std::optional<LayerAssignment> assignmentOf(const TagRule& rule, std::string_view value, const Tags& tags)
{
    LayerAssignment out{rule.layer, {}, rule.minZoom, rule.maxZoom};
    if (rule.layer == "place_label") {
        std::string_view name = tagValue(tags, "name:en");
        name = name.empty() ? tagValue(tags, "name") : name;
        if (name.empty()) {
            return std::nullopt;
        }
        out.properties = {{"type", std::string(value)}, {"name_en", std::string(name)}};
        return out;
    }
    if (rule.featureClass != "default") {
        out.properties.emplace_back("class", rule.featureClass);
    }
    if (rule.layer == "road") {
        out.properties.emplace_back("type", std::string(value));
        out.properties.emplace_back("structure", structureOf(tags));
        out.properties.emplace_back("oneway", isOneway(tags) ? "true" : "false");
    } else if (rule.layer == "building") {
        out.properties.emplace_back("underground", tagValue(tags, "location") == "underground" ? "true" : "false");
    }
    return out;
}

} // namespace

std::string_view tagValue(const Tags& tags, std::string_view key)
{
    const auto found = std::find_if(tags.begin(), tags.end(), [&](const auto& tag) { return tag.first == key; });
    return found == tags.end() ? std::string_view{} : found->second;
}

TagMapping TagMapping::read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error(file.string() + ": cannot be read");
    }
    std::ostringstream content;
    content << in.rdbuf();
    return parse(content.str(), file.string());
}

TagMapping TagMapping::parse(const std::string& text, const std::string& name)
{
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw std::runtime_error(name + ":" + std::to_string(lineAt(text, error.byte - 1)) +
                                 ": not JSON: " + error.what());
    }
    if (!document.is_object() || !document.contains("rules") || !document["rules"].is_array()) {
        throw std::runtime_error(name + ":1: the mapping must be an object with a \"rules\" list");
    }
    const std::vector<unsigned int> lines = ruleLines(text);
    TagMapping mapping;
    std::size_t index = 0;
    for (const json& rule : document["rules"]) {
        const unsigned int line = index < lines.size() ? lines[index] : 1;
        ++index;
        try {
            mapping.ruleList.push_back(ruleOf(rule, line));
        } catch (const std::exception& error) {
            throw std::runtime_error(name + ":" + std::to_string(line) + ": rule " + std::to_string(index) + ": " +
                                     error.what());
        }
    }
    return mapping;
}

std::vector<LayerAssignment> TagMapping::assign(const Tags& tags, OsmShape shape) const
{
    std::vector<LayerAssignment> out;
    for (const TagRule& rule : ruleList) {
        if (rule.shape != shape) {
            continue;
        }
        const std::string_view value = tagValue(tags, rule.key);
        if (!value.empty() && matches(rule, value)) {
            if (std::optional<LayerAssignment> assignment = assignmentOf(rule, value, tags)) {
                out.push_back(std::move(*assignment));
            }
        }
    }
    return out;
}

} // namespace tilepack
