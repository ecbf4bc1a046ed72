#include "simulator/TraceLine.hpp"

#include <cstdio>

namespace simulator {

nlohmann::ordered_json traceLine(const TraceFrame& frame, const devices::TraceState& state,
                                 nlohmann::ordered_json figures)
{
    nlohmann::ordered_json line;
    line["frame"] = frame.frame;
    line["time_ms"] = frame.timeMs;
    line["screen"] = state.screen;
    line["map"] = {
        {"lat", state.latitude},         {"lon", state.longitude},     {"zoom", state.zoom}, {"scale", state.scale},
        {"tile_scale", state.tileScale}, {"rotation", state.rotation}, {"x", state.x},       {"y", state.y}};
    line["pizza"] = {{"state", state.pizzaState}, {"step", state.pizzaStep}};
    nlohmann::ordered_json dogs = nlohmann::ordered_json::array();
    for (std::uint32_t i = 0; i < state.dogCount && i < devices::TraceState::maxDogs; ++i) {
        dogs.push_back({state.dogs[i][0], state.dogs[i][1]});
    }
    line["dogs"] = dogs;
    line["tiles"] = {
        {"cached", state.tilesCached}, {"pending", state.tilesPending}, {"visible_pending", state.tilesVisiblePending}};
    line["damaged_tiles"] = state.damagedTiles;
    line["gesture"] = {{"tx", state.gestureTx},
                       {"ty", state.gestureTy},
                       {"scale", state.gestureScale},
                       {"rotation", state.gestureRotation}};
    line["draw_ms"] = static_cast<double>(frame.drawUs) / 1000.0;
    line["dirty_px"] = state.dirtyPixels;
    line["frame_hash"] = frame.frameHash;
    line["figures"] = std::move(figures);
    return line;
}

std::string frameHash(const std::uint16_t* pixels, std::size_t count)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ pixels[i]) * 0x100000001b3u;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace simulator
