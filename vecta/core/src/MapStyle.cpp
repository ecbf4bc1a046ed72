#include "vecta/MapStyle.hpp"

#include <algorithm>
#include <array>
#include <iterator>

#include "StyleTable.hpp"

namespace vecta {

namespace {

// One row per (layer, class) pair: its colour, then a cell per zoom level, 6
// to 11 on the first line and 12 to 16 below them. A cell holds the rule's
// opacity and line width, and its own colour where the pair changes colour at
// that level; noRule leaves the pair out of the level. Each level lists its
// rules in row order. Left unformatted so the cells line up by zoom level.
// clang-format off
constexpr StyleRow styleRows[] = {
    // 6, 12              7, 13              8, 14               9, 15               10, 16              11
    {"background", "default", 0xEDE9D9,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landcover", "crop", 0xDDECB1,
     {{54, 1},           {48, 1},           {42, 1},            {35, 1},            {29, 1},            {22, 1},
      {14, 1},           {7, 1},            {0, 1},             {0, 1},             {0, 1}}},
    {"landcover", "grass", 0xDDECB1,
     {{54, 1},           {48, 1},           {42, 1},            {35, 1},            {29, 1},            {22, 1},
      {14, 1},           {7, 1},            {0, 1},             {0, 1},             {0, 1}}},
    {"landcover", "scrub", 0xDDECB1,
     {{54, 1},           {48, 1},           {42, 1},            {35, 1},            {29, 1},            {22, 1},
      {14, 1},           {7, 1},            {0, 1},             {0, 1},             {0, 1}}},
    {"landcover", "wood", 0xDDECB1,
     {{54, 1},           {48, 1},           {42, 1},            {35, 1},            {29, 1},            {22, 1},
      {14, 1},           {7, 1},            {0, 1},             {0, 1},             {0, 1}}},
    {"landcover", "snow", 0xFFFFFF,
     {{51, 1},           {51, 1},           {51, 1},            {51, 1},            {51, 1},            {51, 1},
      {51, 1},           {51, 1},           {51, 1},            {51, 1},            {51, 1}}},
    {"landuse_overlay", "national_park", 0xCDE8A2,
     {{127, 1},          {127, 1},          {127, 1},           {127, 1},           {127, 1},           {127, 1},
      {127, 1},          {127, 1},          {127, 1},           {127, 1},           {127, 1}}},
    {"landuse_overlay", "wetland_noveg", 0x9DD3D8,
     {{0, 1},            {0, 1},            {0, 1},             {0, 1},             {0, 1},             {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse_overlay", "wetland", 0x9DD3D8,
     {{0, 1},            {0, 1},            {0, 1},             {0, 1},             {0, 1},             {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "wood", 0xDDECB1,
     {{0, 1},            {12, 1},           {25, 1},            {38, 1},            {51, 1},            {63, 1},
      {76, 1},           {89, 1},           {102, 1},           {114, 1},           {127, 1}}},
    {"landuse", "hospital", 0xF4DCDC,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "school", 0xF3EBB4,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "park", 0xCDE8A2,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "pitch", 0xC3E194,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1, 0xE1F2C6}, {255, 1, 0xE1F2C6}}},
    {"landuse", "cemetery", 0xDDE6C2,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "industrial", 0xE0DAE0,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"landuse", "sand", 0xEDEDCF,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"hillshade", "default", 0x5A5517,
     {{15, 1},           {15, 1},           {15, 1},            {15, 1},            {15, 1},            {15, 1},
      {15, 1},           {15, 1},           {15, 1},            {15, 1},            {7, 1}}},
    {"water", "default", 0x8CCBF7,
     {{255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1},           {255, 1},
      {255, 1},          {255, 1},          {255, 1},           {255, 1},           {255, 1}}},
    {"barrier_line", "land", 0xEDE9D9,
     {{255, 0.75f},      {255, 0.75f},      {255, 0.75f},       {255, 0.75f},       {255, 0.75f},       {255, 0.75f},
      {255, 0.75f},      {255, 0.75f},      {255, 0.75f},       {255, 5.568025f},   {255, 10.97156f}}},
    {"road", "ferry", 0x5EACE5,
     {{255, 0.5f},       {255, 0.5f},       {255, 0.5f},        {255, 0.5f},        {255, 0.5f},        {255, 0.5f},
      {255, 0.5f},       {255, 0.5f},       {255, 0.5f},        {255, 0.5699132f},  {255, 0.64471424f}}},
    {"road", "path", 0xFFFFFF,
     {{0, 1},            {0, 1},            {0, 1},             {0, 1},             {0, 1},             {0, 1},
      {0, 1},            {0, 1},            {0, 1},             {255, 1},           {255, 1.8682854f}}},
    {"road", "secondary", 0xFFFFFF,
     {{255, 0.5f},       {255, 0.5f},       {255, 0.5f},        {255, 0.5723571f},  {255, 0.75f},       {255, 3.37547f},
      {255, 6.137437f},  {255, 9.042997f},  {255, 12.099616f},  {255, 15.315147f},  {255, 18.697851f}}},
    {"road", "tertiary", 0xFFFFFF,
     {{255, 0.5f},       {255, 0.5f},       {255, 0.5f},        {255, 0.5723571f},  {255, 0.75f},       {255, 3.37547f},
      {255, 6.137437f},  {255, 9.042997f},  {255, 12.099616f},  {255, 15.315147f},  {255, 18.697851f}}},
    {"road", "primary", 0xFFFFFF,
     {{255, 2.7300699f}, {255, 4.7728705f}, {255, 6.880389f},   {255, 9.054677f},   {255, 11.297848f},  {255, 13.612085f},
      {255, 15.99964f},  {255, 18.462835f}, {255, 21.004068f},  {255, 23.625809f},  {255, 26.33061f}}},
    {"road", "trunk", 0xF2CF60,
     {{255, 2.7300699f}, {255, 4.7728705f}, {255, 6.880389f},   {255, 9.054677f},   {255, 11.297848f},  {255, 13.612085f},
      {255, 15.99964f},  {255, 18.462835f}, {255, 21.004068f},  {255, 23.625809f},  {255, 26.33061f}}},
    {"road", "motorway", 0xFFA159,
     {{255, 2.7300699f}, {255, 4.7728705f}, {255, 6.880389f},   {255, 9.054677f},   {255, 11.297848f},  {255, 13.612085f},
      {255, 15.99964f},  {255, 18.462835f}, {255, 21.004068f},  {255, 23.625809f},  {255, 26.33061f}}},
    {"waterway", "default", 0x8CCBF7,
     {noRule,            noRule,            {0, 0.1f},          {255, 0.4021079f},  {255, 1.0167612f},  {255, 1.6455985f},
      {255, 2.2889473f}, {0, 0.1f},         {255, 0.29350033f}, {255, 0.69416326f}, {255, 1.1137584f}}},
    {"landuse", "scrub", 0xDDECB1,
     {noRule,            noRule,            noRule,             {0, 1},             {7, 1},             {14, 1},
      {21, 1},           {29, 1},           {36, 1},            {43, 1},            {51, 1}}},
    {"landuse", "grass", 0xDDECB1,
     {noRule,            noRule,            noRule,             {0, 1},             {14, 1},            {29, 1},
      {43, 1},           {58, 1},           {72, 1},            {87, 1},            {102, 1}}},
    {"landuse", "glacier", 0xDCEDF9,
     {noRule,            noRule,            noRule,             {0, 1},             {63, 1},            {63, 1},
      {63, 1},           {63, 1},           {63, 1},            {63, 1},            {63, 1}}},
    {"aeroway", "default", 0xDBCEDB,
     {noRule,            noRule,            noRule,             {255, 0.5f},        {255, 0.5f},        {255, 2.5275908f},
      {255, 4.660595f},  {255, 6.904493f},  {255, 9.26505f},    {255, 11.748331f},  {255, 14.360717f}}},
    {"road", "motorway_link", 0xFFA159,
     {noRule,            noRule,            noRule,             noRule,             {255, 0.5f},        {255, 0.5f},
      {255, 0.5f},       {255, 1.1742346f}, {255, 2},           {255, 5.413821f},   {255, 9.191836f}}},
    {"road", "street", 0xFFFFFF,
     {noRule,            noRule,            noRule,             noRule,             noRule,             {0, 0.5f},
      {0, 0.5f},         {0, 0.9341427f},   {255, 2},           {255, 5.413821f},   {255, 9.191836f}}},
    {"road", "street_limited", 0xEFEDEB,
     {noRule,            noRule,            noRule,             noRule,             noRule,             {0, 0.5f},
      {0, 0.5f},         {0, 0.9341427f},   {255, 2},           {255, 5.413821f},   {255, 9.191836f}}},
    {"road", "default", 0xF2CF60,
     {noRule,            noRule,            noRule,             noRule,             noRule,             {255, 0.5f},
      {255, 0.5f},       {255, 1.1742346f}, {255, 2},           {255, 5.413821f},   {255, 9.191836f}}},
    {"road", "pedestrian", 0xFFFFFF,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      {255, 0.5f},       {255, 0.5f},       {255, 0.5f},        {255, 2.953684f},   {255, 5.669132f}}},
    {"road", "major_rail", 0xB3B1A6,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            {0, 4, 0xD8D5C8},  {255, 4},           {255, 4.5593057f},  {255, 5.157714f}}},
    {"road", "minor_rail", 0xB3B1A6,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            {0, 4, 0xD8D5C8},  {255, 4},           {255, 4.5593057f},  {255, 5.157714f}}},
    {"road", "service", 0xFFFFFF,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            {255, 0.5f},        {255, 2.953684f},   {255, 5.669132f}}},
    {"road", "link", 0xFFFFFF,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            {255, 0.5f},        {255, 2.953684f},   {255, 5.669132f}}},
    {"road", "track", 0xFFFFFF,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            {255, 0.5f},        {255, 2.953684f},   {255, 5.669132f}}},
    {"road", "construction", 0xD9D3C9,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            {255, 2},           {255, 5.413821f},   {255, 9.191836f}}},
    {"contour", "default", 0x66601A,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            {30, 1},            {30, 1},            {30, 1}}},
    {"building", "default", 0xE8E0CC,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            noRule,             {0, 1, 0xEDE9D9},   {255, 1}}},
    {"barrier_line", "hedge", 0xE2F4C2,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            noRule,             noRule,             {255, 1}}},
    {"barrier_line", "fence", 0xCBC6B7,
     {noRule,            noRule,            noRule,             noRule,             noRule,             noRule,
      noRule,            noRule,            noRule,             noRule,             {255, 1}}},
};
// clang-format on

// Each level's rules, made from the table at compile time.
template <unsigned int Zoom> constexpr auto levelRules = rulesAt<ruleCountAt(styleRows, Zoom)>(styleRows, Zoom);

template <std::size_t N> constexpr std::array<RuleKey, N> keyOrder(const std::array<LayerStyle, N>& rules)
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
    return LevelStyle{Rules.data(), static_cast<std::uint32_t>(rulesByKey<Rules>.size()), rulesByKey<Rules>.data()};
}

constexpr LevelStyle levelStyle6 = levelOf<levelRules<6>>();
constexpr LevelStyle levelStyle7 = levelOf<levelRules<7>>();
constexpr LevelStyle levelStyle8 = levelOf<levelRules<8>>();
constexpr LevelStyle levelStyle9 = levelOf<levelRules<9>>();
constexpr LevelStyle levelStyle10 = levelOf<levelRules<10>>();
constexpr LevelStyle levelStyle11 = levelOf<levelRules<11>>();
constexpr LevelStyle levelStyle12 = levelOf<levelRules<12>>();
constexpr LevelStyle levelStyle13 = levelOf<levelRules<13>>();
constexpr LevelStyle levelStyle14 = levelOf<levelRules<14>>();
constexpr LevelStyle levelStyle15 = levelOf<levelRules<15>>();
constexpr LevelStyle levelStyle16 = levelOf<levelRules<16>>();

// Constant-initialised, so the table is complete before any constructor runs.
constexpr LevelStyle levelStyles[] = {levelStyle6,  levelStyle7,  levelStyle8,  levelStyle9,
                                      levelStyle10, levelStyle11, levelStyle12, levelStyle13,
                                      levelStyle14, levelStyle15, levelStyle16};

constexpr MapStyle mapStyle{styleMinZoom, styleMaxZoom, levelStyles,
                            static_cast<std::uint32_t>(std::size(levelStyles))};

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
