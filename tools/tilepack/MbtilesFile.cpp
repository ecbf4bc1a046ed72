#include "tilepack/MbtilesFile.hpp"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include <nlohmann/json.hpp>
#include <sqlite3.h>

namespace tilepack {

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* database) const { sqlite3_close(database); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

void check(sqlite3* database, int result, const char* what)
{
    if (result != SQLITE_OK && result != SQLITE_DONE && result != SQLITE_ROW) {
        throw std::runtime_error(std::string("cannot ") + what + ": " + sqlite3_errmsg(database));
    }
}

Statement prepare(sqlite3* database, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    check(database, sqlite3_prepare_v2(database, sql, -1, &statement, nullptr), "prepare a statement");
    return Statement(statement);
}

void execute(sqlite3* database, const char* sql)
{
    check(database, sqlite3_exec(database, sql, nullptr, nullptr, nullptr), sql);
}

std::string vectorLayersJson(const VectorLayers& layers)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, layer] : layers) {
        nlohmann::json fields = nlohmann::json::object();
        for (const std::string& field : layer.fields) {
            fields[field] = "String";
        }
        list.push_back({{"id", name}, {"fields", fields}, {"minzoom", layer.minZoom}, {"maxzoom", lastZoom}});
    }
    return nlohmann::json{{"vector_layers", list}}.dump();
}

void writeMetadata(sqlite3* database, const MbtilesInfo& info)
{
    const GeoBox& box = info.bounds;
    char bounds[128];
    std::snprintf(bounds, sizeof bounds, "%.6f,%.6f,%.6f,%.6f", box.west, box.south, box.east, box.north);
    char centre[96];
    std::snprintf(centre, sizeof centre, "%.6f,%.6f,13", (box.west + box.east) / 2, (box.south + box.north) / 2);
    const std::pair<const char*, std::string> rows[] = {
        {"name", info.name},
        {"format", "pbf"},
        {"type", "baselayer"},
        {"description", "Tiles as the board stores them: raw vector tiles, not gzip-compressed"},
        {"attribution", info.attribution},
        {"bounds", bounds},
        {"center", centre},
        {"minzoom", std::to_string(firstZoom)},
        {"maxzoom", std::to_string(lastZoom)},
        {"json", vectorLayersJson(info.layers)},
    };
    const Statement insert = prepare(database, "INSERT INTO metadata (name, value) VALUES (?, ?)");
    for (const auto& [name, value] : rows) {
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, name, -1, SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 2, value.c_str(), -1, SQLITE_TRANSIENT);
        check(database, sqlite3_step(insert.get()), "write the metadata");
    }
}

void writeTiles(sqlite3* database, const BuiltCollection& collection, const CollectionLayout& layout)
{
    const Statement insert =
        prepare(database, "INSERT INTO tiles (zoom_level, tile_column, tile_row, tile_data) VALUES (?, ?, ?, ?)");
    for (std::size_t level = 0; level < layout.ranges.size(); ++level) {
        const ZoomRange& range = layout.ranges[level];
        for (std::uint32_t y = range.minY; y <= range.maxY; ++y) {
            for (std::uint32_t x = range.minX; x <= range.maxX; ++x) {
                const std::string& tile = collection.tiles[level][range.indexOf(x, y)];
                if (tile.empty()) {
                    continue;
                }
                sqlite3_reset(insert.get());
                sqlite3_bind_int(insert.get(), 1, range.zoom);
                sqlite3_bind_int64(insert.get(), 2, x);
                sqlite3_bind_int64(insert.get(), 3, (std::int64_t{1} << range.zoom) - 1 - y);
                sqlite3_bind_blob(insert.get(), 4, tile.data(), static_cast<int>(tile.size()), SQLITE_STATIC);
                check(database, sqlite3_step(insert.get()), "write a tile");
            }
        }
    }
}

void writeDatabase(const std::filesystem::path& path, const BuiltCollection& collection, const CollectionLayout& layout,
                   const MbtilesInfo& info)
{
    sqlite3* opened = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const Database database(opened);
    if (result != SQLITE_OK) {
        throw std::runtime_error("cannot create " + path.string() + ": " +
                                 (opened != nullptr ? sqlite3_errmsg(opened) : "out of memory"));
    }
    execute(database.get(), "BEGIN");
    execute(database.get(), "CREATE TABLE metadata (name TEXT, value TEXT)");
    execute(database.get(), "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
                            "tile_data BLOB)");
    execute(database.get(), "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
    writeMetadata(database.get(), info);
    writeTiles(database.get(), collection, layout);
    execute(database.get(), "COMMIT");
}

} // namespace

VectorLayers vectorLayersOf(const SourceData& data)
{
    VectorLayers layers;
    for (const SourceFeature& feature : data.features) {
        VectorLayer& layer = layers[feature.layer];
        layer.minZoom = std::min(layer.minZoom, feature.minZoom);
        for (const auto& [key, value] : feature.properties) {
            layer.fields.insert(key);
        }
    }
    return layers;
}

void writeMbtiles(const std::filesystem::path& out, const BuiltCollection& collection, const CollectionLayout& layout,
                  const MbtilesInfo& info)
{
    const std::filesystem::path temporary = out.string() + ".partial";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    try {
        writeDatabase(temporary, collection, layout, info);
        std::filesystem::rename(temporary, out);
    } catch (const std::exception& error) {
        std::filesystem::remove(temporary, ignored);
        throw std::runtime_error("--mbtiles " + out.string() + ": " + error.what());
    }
}

} // namespace tilepack
