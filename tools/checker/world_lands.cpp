#include "world_lands.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "record_checks.h"

namespace inspect {

namespace {

using tes4::Entry;

// VHGT: a float offset, then one signed delta per vertex. The first delta of
// a row is relative to the first vertex of the row below, every other to the
// vertex before it. Game units are 8 per height unit.
std::vector<float> decodeHeights(const tes4::Bytes& vhgt) {
    std::vector<float> heights(landSide * landSide);
    float rowStart = tes4::f32(vhgt, 0);
    for (int r = 0; r < landSide; ++r) {
        rowStart += static_cast<int8_t>(vhgt[4 + r * landSide]);
        float height = rowStart;
        heights[r * landSide] = height * 8.0f;
        for (int c = 1; c < landSide; ++c) {
            height += static_cast<int8_t>(vhgt[4 + r * landSide + c]);
            heights[r * landSide + c] = height * 8.0f;
        }
    }
    return heights;
}

// BTXT names a quadrant's base texture (quadrant 0 SW, 1 SE, 2 NW, 3 NE,
// each 17 x 17 vertices sharing the middle row and column); ATXT names a
// layer's texture and VTXT lists the vertices it covers.
std::vector<uint32_t> decodeTextures(const Entry& land) {
    std::vector<uint32_t> textures(landSide * landSide, 0);
    auto paint = [&textures](int quadrant, int position, uint32_t formId) {
        int rowBase = quadrant >= 2 ? 16 : 0, colBase = (quadrant & 1) ? 16 : 0;
        textures[(rowBase + position / 17) * landSide + colBase + position % 17] = formId;
    };
    const auto& subs = land.subrecords;
    for (size_t i = 0; i < subs.size(); ++i) {
        if (subs[i].type != "BTXT" || subs[i].data.size() < 8) continue;
        for (int position = 0; position < 17 * 17; ++position)
            paint(subs[i].data[4] & 3, position, tes4::u32(subs[i].data, 0));
    }
    for (size_t i = 0; i + 1 < subs.size(); ++i) {
        if (subs[i].type != "ATXT" || subs[i].data.size() < 8 || subs[i + 1].type != "VTXT") continue;
        uint32_t formId = tes4::u32(subs[i].data, 0);
        const tes4::Bytes& entries = subs[i + 1].data;
        for (size_t e = 0; e + 8 <= entries.size(); e += 8) {
            int position = tes4::u16(entries, e);
            if (position <= 288) paint(subs[i].data[4] & 3, position, formId);
        }
    }
    return textures;
}

void countLayers(const Entry& record, DecodedLand& land) {
    int layers[4] = {0, 0, 0, 0};
    for (const tes4::Subrecord& sub : record.subrecords) {
        if (sub.data.size() < 8) continue;
        if (sub.type == "BTXT") ++land.baseTextures;
        if (sub.type == "ATXT") land.mostLayers = std::max(land.mostLayers, ++layers[sub.data[4] & 3]);
    }
}

void noteObject(const Entry& record, std::pair<int32_t, int32_t> grid, WorldLands& world) {
    const tes4::Subrecord* base = record.find("NAME");
    const tes4::Subrecord* data = record.find("DATA");
    PlacedObject object;
    object.formId = record.formId;
    object.base = base != nullptr && base->data.size() == 4 ? tes4::u32(base->data, 0) : 0;
    object.cellX = grid.first;
    object.cellY = grid.second;
    if (data != nullptr && data->data.size() >= 8) {
        object.x = tes4::f32(data->data, 0);
        object.y = tes4::f32(data->data, 4);
    }
    world.objects.push_back(object);
}

void collect(const std::vector<Entry>& entries, std::map<uint32_t, std::pair<int32_t, int32_t>>& cells,
             WorldLands& world) {
    for (const Entry& entry : entries) {
        if (!entry.isGroup) {
            const tes4::Subrecord* grid = entry.find("XCLC");
            bool persistent = (entry.flags & persistentFlag) != 0;  // the world's persistent cell
            if (entry.type == "CELL" && !persistent && grid != nullptr && grid->data.size() >= 8) {
                int32_t x = static_cast<int32_t>(tes4::u32(grid->data, 0));
                int32_t y = static_cast<int32_t>(tes4::u32(grid->data, 4));
                cells[entry.formId] = {x, y};
                ++world.cells;
                if (world.empty()) {
                    world.minX = world.maxX = x;
                    world.minY = world.maxY = y;
                }
                world.minX = std::min(world.minX, x);
                world.maxX = std::max(world.maxX, x);
                world.minY = std::min(world.minY, y);
                world.maxY = std::max(world.maxY, y);
            }
            continue;
        }
        if (entry.groupType == 9) {
            auto cell = cells.find(entry.labelValue());
            for (const Entry& record : entry.children) {
                if (record.type == "REFR" && cell != cells.end()) noteObject(record, cell->second, world);
                const tes4::Subrecord* vhgt = record.find("VHGT");
                if (record.type != "LAND" || cell == cells.end() || vhgt == nullptr || vhgt->data.size() < 1093)
                    continue;
                DecodedLand land;
                land.gridX = cell->second.first;
                land.gridY = cell->second.second;
                land.heights = decodeHeights(vhgt->data);
                land.textures = decodeTextures(record);
                countLayers(record, land);
                world.lands.push_back(std::move(land));
            }
            continue;
        }
        collect(entry.children, cells, world);
    }
}

}  // namespace

bool PlacedObject::insideItsCell() const {
    // Floor division by the cell's size, in double so that no float is out of an integer's range.
    return std::floor(static_cast<double>(x) / 4096.0) == cellX && std::floor(static_cast<double>(y) / 4096.0) == cellY;
}

WorldLands decodeWorldLands(const tes4::File& file) {
    WorldLands world;
    std::map<uint32_t, std::pair<int32_t, int32_t>> cells;
    for (const Entry& group : file.groups)
        if (group.labelText() == "WRLD") collect(group.children, cells, world);
    return world;
}

}  // namespace inspect
