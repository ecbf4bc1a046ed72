#include "vecta/MapStyle.hpp"

#include <algorithm>
#include <array>
#include <iterator>

#include "vecta/StringHash.hpp"

namespace vecta {

namespace {

constexpr LayerStyle rule(const char* layer, const char* featureClass, std::uint32_t rgb, std::uint8_t opacity,
                          float width)
{
    return LayerStyle{stringHash(layer), stringHash(featureClass), 0xFF000000u | rgb, opacity, width};
}

constexpr LayerStyle levelStyle6Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 54, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 54, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 54, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 54, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 0, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 0, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 0, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 0.5f),
    rule("road", "tertiary", 0xFFFFFF, 255, 0.5f),
    rule("road", "primary", 0xFFFFFF, 255, 2.7300699f),
    rule("road", "trunk", 0xF2CF60, 255, 2.7300699f),
    rule("road", "motorway", 0xFFA159, 255, 2.7300699f),
};

constexpr LayerStyle levelStyle7Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 48, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 48, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 48, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 48, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 0, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 0, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 12, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 0.5f),
    rule("road", "tertiary", 0xFFFFFF, 255, 0.5f),
    rule("road", "primary", 0xFFFFFF, 255, 4.7728705f),
    rule("road", "trunk", 0xF2CF60, 255, 4.7728705f),
    rule("road", "motorway", 0xFFA159, 255, 4.7728705f),
};

constexpr LayerStyle levelStyle8Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 42, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 42, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 42, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 42, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 0, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 0, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 25, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 0.5f),
    rule("road", "tertiary", 0xFFFFFF, 255, 0.5f),
    rule("road", "primary", 0xFFFFFF, 255, 6.880389f),
    rule("road", "trunk", 0xF2CF60, 255, 6.880389f),
    rule("road", "motorway", 0xFFA159, 255, 6.880389f),
    rule("waterway", "default", 0x8CCBF7, 0, 0.1f),
};

constexpr LayerStyle levelStyle9Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 35, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 35, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 35, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 35, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 0, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 0, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 38, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 0.5723571f),
    rule("road", "tertiary", 0xFFFFFF, 255, 0.5723571f),
    rule("road", "primary", 0xFFFFFF, 255, 9.054677f),
    rule("road", "trunk", 0xF2CF60, 255, 9.054677f),
    rule("road", "motorway", 0xFFA159, 255, 9.054677f),
    rule("waterway", "default", 0x8CCBF7, 255, 0.4021079f),
    rule("landuse", "scrub", 0xDDECB1, 0, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 0, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 0, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 0.5f),
};

constexpr LayerStyle levelStyle10Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 29, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 29, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 29, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 29, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 0, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 0, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 51, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 0.75f),
    rule("road", "tertiary", 0xFFFFFF, 255, 0.75f),
    rule("road", "primary", 0xFFFFFF, 255, 11.297848f),
    rule("road", "trunk", 0xF2CF60, 255, 11.297848f),
    rule("road", "motorway", 0xFFA159, 255, 11.297848f),
    rule("waterway", "default", 0x8CCBF7, 255, 1.0167612f),
    rule("landuse", "scrub", 0xDDECB1, 7, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 14, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 0.5f),
    rule("road", "motorway_link", 0xFFA159, 255, 0.5f),
};

constexpr LayerStyle levelStyle11Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 22, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 22, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 22, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 22, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 63, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 3.37547f),
    rule("road", "tertiary", 0xFFFFFF, 255, 3.37547f),
    rule("road", "primary", 0xFFFFFF, 255, 13.612085f),
    rule("road", "trunk", 0xF2CF60, 255, 13.612085f),
    rule("road", "motorway", 0xFFA159, 255, 13.612085f),
    rule("waterway", "default", 0x8CCBF7, 255, 1.6455985f),
    rule("landuse", "scrub", 0xDDECB1, 14, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 29, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 2.5275908f),
    rule("road", "motorway_link", 0xFFA159, 255, 0.5f),
    rule("road", "street", 0xFFFFFF, 0, 0.5f),
    rule("road", "street_limited", 0xEFEDEB, 0, 0.5f),
    rule("road", "default", 0xF2CF60, 255, 0.5f),
};

constexpr LayerStyle levelStyle12Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 14, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 14, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 14, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 14, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 76, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 6.137437f),
    rule("road", "tertiary", 0xFFFFFF, 255, 6.137437f),
    rule("road", "primary", 0xFFFFFF, 255, 15.99964f),
    rule("road", "trunk", 0xF2CF60, 255, 15.99964f),
    rule("road", "motorway", 0xFFA159, 255, 15.99964f),
    rule("waterway", "default", 0x8CCBF7, 255, 2.2889473f),
    rule("landuse", "scrub", 0xDDECB1, 21, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 43, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 4.660595f),
    rule("road", "motorway_link", 0xFFA159, 255, 0.5f),
    rule("road", "street", 0xFFFFFF, 0, 0.5f),
    rule("road", "street_limited", 0xEFEDEB, 0, 0.5f),
    rule("road", "default", 0xF2CF60, 255, 0.5f),
    rule("road", "pedestrian", 0xFFFFFF, 255, 0.5f),
};

constexpr LayerStyle levelStyle13Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 7, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 7, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 7, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 7, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 89, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 9.042997f),
    rule("road", "tertiary", 0xFFFFFF, 255, 9.042997f),
    rule("road", "primary", 0xFFFFFF, 255, 18.462835f),
    rule("road", "trunk", 0xF2CF60, 255, 18.462835f),
    rule("road", "motorway", 0xFFA159, 255, 18.462835f),
    rule("waterway", "default", 0x8CCBF7, 0, 0.1f),
    rule("landuse", "scrub", 0xDDECB1, 29, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 58, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 6.904493f),
    rule("road", "motorway_link", 0xFFA159, 255, 1.1742346f),
    rule("road", "street", 0xFFFFFF, 0, 0.9341427f),
    rule("road", "street_limited", 0xEFEDEB, 0, 0.9341427f),
    rule("road", "default", 0xF2CF60, 255, 1.1742346f),
    rule("road", "pedestrian", 0xFFFFFF, 255, 0.5f),
    rule("road", "major_rail", 0xD8D5C8, 0, 4.0f),
    rule("road", "minor_rail", 0xD8D5C8, 0, 4.0f),
};

constexpr LayerStyle levelStyle14Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 0, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 0, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 0, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 0, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 102, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xC3E194, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 0.75f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5f),
    rule("road", "path", 0xFFFFFF, 0, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 12.099616f),
    rule("road", "tertiary", 0xFFFFFF, 255, 12.099616f),
    rule("road", "primary", 0xFFFFFF, 255, 21.004068f),
    rule("road", "trunk", 0xF2CF60, 255, 21.004068f),
    rule("road", "motorway", 0xFFA159, 255, 21.004068f),
    rule("waterway", "default", 0x8CCBF7, 255, 0.29350033f),
    rule("landuse", "scrub", 0xDDECB1, 36, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 72, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 9.26505f),
    rule("road", "motorway_link", 0xFFA159, 255, 2.0f),
    rule("road", "street", 0xFFFFFF, 255, 2.0f),
    rule("road", "street_limited", 0xEFEDEB, 255, 2.0f),
    rule("road", "default", 0xF2CF60, 255, 2.0f),
    rule("road", "pedestrian", 0xFFFFFF, 255, 0.5f),
    rule("road", "major_rail", 0xB3B1A6, 255, 4.0f),
    rule("road", "minor_rail", 0xB3B1A6, 255, 4.0f),
    rule("road", "service", 0xFFFFFF, 255, 0.5f),
    rule("road", "link", 0xFFFFFF, 255, 0.5f),
    rule("road", "track", 0xFFFFFF, 255, 0.5f),
    rule("road", "construction", 0xD9D3C9, 255, 2.0f),
    rule("contour", "default", 0x66601A, 30, 1.0f),
};

constexpr LayerStyle levelStyle15Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 0, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 0, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 0, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 0, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 114, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xE1F2C6, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 15, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 5.568025f),
    rule("road", "ferry", 0x5EACE5, 255, 0.5699132f),
    rule("road", "path", 0xFFFFFF, 255, 1.0f),
    rule("road", "secondary", 0xFFFFFF, 255, 15.315147f),
    rule("road", "tertiary", 0xFFFFFF, 255, 15.315147f),
    rule("road", "primary", 0xFFFFFF, 255, 23.625809f),
    rule("road", "trunk", 0xF2CF60, 255, 23.625809f),
    rule("road", "motorway", 0xFFA159, 255, 23.625809f),
    rule("waterway", "default", 0x8CCBF7, 255, 0.69416326f),
    rule("landuse", "scrub", 0xDDECB1, 43, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 87, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 11.748331f),
    rule("road", "motorway_link", 0xFFA159, 255, 5.413821f),
    rule("road", "street", 0xFFFFFF, 255, 5.413821f),
    rule("road", "street_limited", 0xEFEDEB, 255, 5.413821f),
    rule("road", "default", 0xF2CF60, 255, 5.413821f),
    rule("road", "pedestrian", 0xFFFFFF, 255, 2.953684f),
    rule("road", "major_rail", 0xB3B1A6, 255, 4.5593057f),
    rule("road", "minor_rail", 0xB3B1A6, 255, 4.5593057f),
    rule("road", "service", 0xFFFFFF, 255, 2.953684f),
    rule("road", "link", 0xFFFFFF, 255, 2.953684f),
    rule("road", "track", 0xFFFFFF, 255, 2.953684f),
    rule("road", "construction", 0xD9D3C9, 255, 5.413821f),
    rule("contour", "default", 0x66601A, 30, 1.0f),
    rule("building", "default", 0xEDE9D9, 0, 1.0f),
};

constexpr LayerStyle levelStyle16Rules[] = {
    rule("background", "default", 0xEDE9D9, 255, 1.0f),
    rule("landcover", "crop", 0xDDECB1, 0, 1.0f),
    rule("landcover", "grass", 0xDDECB1, 0, 1.0f),
    rule("landcover", "scrub", 0xDDECB1, 0, 1.0f),
    rule("landcover", "wood", 0xDDECB1, 0, 1.0f),
    rule("landcover", "snow", 0xFFFFFF, 51, 1.0f),
    rule("landuse_overlay", "national_park", 0xCDE8A2, 127, 1.0f),
    rule("landuse_overlay", "wetland_noveg", 0x9DD3D8, 255, 1.0f),
    rule("landuse_overlay", "wetland", 0x9DD3D8, 255, 1.0f),
    rule("landuse", "wood", 0xDDECB1, 127, 1.0f),
    rule("landuse", "hospital", 0xF4DCDC, 255, 1.0f),
    rule("landuse", "school", 0xF3EBB4, 255, 1.0f),
    rule("landuse", "park", 0xCDE8A2, 255, 1.0f),
    rule("landuse", "pitch", 0xE1F2C6, 255, 1.0f),
    rule("landuse", "cemetery", 0xDDE6C2, 255, 1.0f),
    rule("landuse", "industrial", 0xE0DAE0, 255, 1.0f),
    rule("landuse", "sand", 0xEDEDCF, 255, 1.0f),
    rule("hillshade", "default", 0x5A5517, 7, 1.0f),
    rule("water", "default", 0x8CCBF7, 255, 1.0f),
    rule("barrier_line", "land", 0xEDE9D9, 255, 10.97156f),
    rule("road", "ferry", 0x5EACE5, 255, 0.64471424f),
    rule("road", "path", 0xFFFFFF, 255, 1.8682854f),
    rule("road", "secondary", 0xFFFFFF, 255, 18.697851f),
    rule("road", "tertiary", 0xFFFFFF, 255, 18.697851f),
    rule("road", "primary", 0xFFFFFF, 255, 26.33061f),
    rule("road", "trunk", 0xF2CF60, 255, 26.33061f),
    rule("road", "motorway", 0xFFA159, 255, 26.33061f),
    rule("waterway", "default", 0x8CCBF7, 255, 1.1137584f),
    rule("landuse", "scrub", 0xDDECB1, 51, 1.0f),
    rule("landuse", "grass", 0xDDECB1, 102, 1.0f),
    rule("landuse", "glacier", 0xDCEDF9, 63, 1.0f),
    rule("aeroway", "default", 0xDBCEDB, 255, 14.360717f),
    rule("road", "motorway_link", 0xFFA159, 255, 9.191836f),
    rule("road", "street", 0xFFFFFF, 255, 9.191836f),
    rule("road", "street_limited", 0xEFEDEB, 255, 9.191836f),
    rule("road", "default", 0xF2CF60, 255, 9.191836f),
    rule("road", "pedestrian", 0xFFFFFF, 255, 5.669132f),
    rule("road", "major_rail", 0xB3B1A6, 255, 5.157714f),
    rule("road", "minor_rail", 0xB3B1A6, 255, 5.157714f),
    rule("road", "service", 0xFFFFFF, 255, 5.669132f),
    rule("road", "link", 0xFFFFFF, 255, 5.669132f),
    rule("road", "track", 0xFFFFFF, 255, 5.669132f),
    rule("road", "construction", 0xD9D3C9, 255, 9.191836f),
    rule("contour", "default", 0x66601A, 30, 1.0f),
    rule("building", "default", 0xE8E0CC, 255, 1.0f),
    rule("barrier_line", "hedge", 0xE2F4C2, 255, 1.0f),
    rule("barrier_line", "fence", 0xCBC6B7, 255, 1.0f),
};

template <std::size_t N> constexpr std::array<RuleKey, N> keyOrder(const LayerStyle (&rules)[N])
{
    std::array<RuleKey, N> order{};
    for (std::size_t i = 0; i < N; ++i) {
        order[i] = RuleKey{rules[i].key(), static_cast<std::uint32_t>(i)};
    }
    std::sort(order.begin(), order.end(), [](const RuleKey& a, const RuleKey& b) { return a.key < b.key; });
    return order;
}

template <std::size_t N> constexpr bool keysAreUnique(const std::array<RuleKey, N>& order)
{
    for (std::size_t i = 1; i < N; ++i) {
        if (order[i - 1].key == order[i].key) {
            return false;
        }
    }
    return true;
}

// Built at compile time, so features and segments find their rule by a
// binary search.
template <const auto& Rules> constexpr auto rulesByKey = keyOrder(Rules);

template <const auto& Rules> constexpr LevelStyle levelOf()
{
    static_assert(keysAreUnique(rulesByKey<Rules>), "two rules of a level have the same key");
    return LevelStyle{Rules, static_cast<std::uint32_t>(rulesByKey<Rules>.size()), rulesByKey<Rules>.data()};
}

constexpr LevelStyle levelStyle6 = levelOf<levelStyle6Rules>();
constexpr LevelStyle levelStyle7 = levelOf<levelStyle7Rules>();
constexpr LevelStyle levelStyle8 = levelOf<levelStyle8Rules>();
constexpr LevelStyle levelStyle9 = levelOf<levelStyle9Rules>();
constexpr LevelStyle levelStyle10 = levelOf<levelStyle10Rules>();
constexpr LevelStyle levelStyle11 = levelOf<levelStyle11Rules>();
constexpr LevelStyle levelStyle12 = levelOf<levelStyle12Rules>();
constexpr LevelStyle levelStyle13 = levelOf<levelStyle13Rules>();
constexpr LevelStyle levelStyle14 = levelOf<levelStyle14Rules>();
constexpr LevelStyle levelStyle15 = levelOf<levelStyle15Rules>();
constexpr LevelStyle levelStyle16 = levelOf<levelStyle16Rules>();

// Constant-initialised, so the table is complete before any constructor runs.
constexpr LevelStyle levelStyles[] = {levelStyle6,  levelStyle7,  levelStyle8,  levelStyle9,
                                      levelStyle10, levelStyle11, levelStyle12, levelStyle13,
                                      levelStyle14, levelStyle15, levelStyle16};

constexpr MapStyle mapStyle{6, 16, levelStyles, static_cast<std::uint32_t>(std::size(levelStyles))};

} // namespace

const LayerStyle* LevelStyle::find(std::uint32_t key) const
{
    const RuleKey* end = byKey + count;
    const RuleKey* found = std::lower_bound(
        byKey, end, key, [](const RuleKey& entry, std::uint32_t wanted) { return entry.key < wanted; });
    return found != end && found->key == key ? &layers[found->rule] : nullptr;
}

std::uint8_t MapStyle::clampZoom(unsigned int zoom) const
{
    if (zoom < minZoom) {
        return minZoom;
    }
    if (zoom > maxZoom) {
        return maxZoom;
    }
    return static_cast<std::uint8_t>(zoom);
}

const LevelStyle& MapStyle::level(unsigned int zoom) const
{
    return levels[clampZoom(zoom) - minZoom];
}

const MapStyle& getMapStyle()
{
    return mapStyle;
}

} // namespace vecta
