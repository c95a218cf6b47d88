#include "world_lands.h"

#include <algorithm>
#include <map>

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

// ATXT names a texture and its quadrant (0 SW, 1 SE, 2 NW, 3 NE, each 17 x 17
// vertices sharing the middle row and column); VTXT lists its vertices.
std::vector<uint32_t> decodeTextures(const Entry& land) {
    std::vector<uint32_t> textures(landSide * landSide, 0);
    const auto& subs = land.subrecords;
    for (size_t i = 0; i + 1 < subs.size(); ++i) {
        if (subs[i].type != "ATXT" || subs[i].data.size() < 8 || subs[i + 1].type != "VTXT") continue;
        uint32_t formId = tes4::u32(subs[i].data, 0);
        int quadrant = subs[i].data[4] & 3;
        int rowBase = quadrant >= 2 ? 16 : 0, colBase = (quadrant & 1) ? 16 : 0;
        const tes4::Bytes& entries = subs[i + 1].data;
        for (size_t e = 0; e + 8 <= entries.size(); e += 8) {
            int position = tes4::u16(entries, e);
            if (position > 288) continue;
            textures[(rowBase + position / 17) * landSide + colBase + position % 17] = formId;
        }
    }
    return textures;
}

void collect(const std::vector<Entry>& entries, std::map<uint32_t, std::pair<int32_t, int32_t>>& cells,
             WorldLands& world) {
    for (const Entry& entry : entries) {
        if (!entry.isGroup) {
            const tes4::Subrecord* grid = entry.find("XCLC");
            if (entry.type == "CELL" && grid != nullptr && grid->data.size() >= 8) {
                int32_t x = static_cast<int32_t>(tes4::u32(grid->data, 0));
                int32_t y = static_cast<int32_t>(tes4::u32(grid->data, 4));
                cells[entry.formId] = {x, y};
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
                const tes4::Subrecord* vhgt = record.find("VHGT");
                if (record.type != "LAND" || cell == cells.end() || vhgt == nullptr || vhgt->data.size() < 1093)
                    continue;
                DecodedLand land;
                land.gridX = cell->second.first;
                land.gridY = cell->second.second;
                land.heights = decodeHeights(vhgt->data);
                land.textures = decodeTextures(record);
                world.lands.push_back(std::move(land));
            }
            continue;
        }
        collect(entry.children, cells, world);
    }
}

}  // namespace

WorldLands decodeWorldLands(const tes4::File& file) {
    WorldLands world;
    std::map<uint32_t, std::pair<int32_t, int32_t>> cells;
    for (const Entry& group : file.groups)
        if (group.labelText() == "WRLD") collect(group.children, cells, world);
    return world;
}

}  // namespace inspect
