// The landscape of the sample plugin: a 3 x 3 block of exterior cells with
// rolling hills, a cliff, vertex colours and painted textures, a grove in
// every cell, and the land textures they use (one of them unknown to the
// lookup data); an interior below, its door linked to a house door above.
#include <array>
#include <cmath>
#include <string>

#include "sample_parts.h"
#include "tes3_land.h"

namespace sample {

namespace {

// Height in height units at world vertex (x, y), 64 vertices to a cell.
// Every step between neighbouring vertices fits a signed byte.
int32_t worldHeight(int x, int y) {
    double hills = 900 * std::sin(x * 0.021) * std::cos(y * 0.017) + 400 * std::sin((x + 2 * y) * 0.045);
    double cliff = 1500.0 / (1.0 + std::exp(-(x - 40) * 0.12));  // a ridge east of the centre cell
    return static_cast<int32_t>(std::lround(hills + cliff));
}

const char* const textures[] = {"Tx_BC_mud.tga", "Tx_AI_grass_01.tga", "Tx_GL_rock_01.tga", "Tx_AI_mainroad_01.tga",
                                "lf\\tx_lf_marker.dds"};

uint16_t textureAt(int x, int y) {
    if (std::abs(x - 2 * y - 8) < 3) return 4;  // a road across the block
    if (x > 100 && y > 100) return 5;           // the unknown texture: no layer
    int32_t height = worldHeight(x, y);
    return height < -300 ? 1 : height < 900 ? 2 : 3;
}

tes3::Record sampleLand(int32_t gridX, int32_t gridY) {
    int left = gridX * 64, bottom = gridY * 64;
    tes3::LandOptions options;
    options.colours = true;
    int32_t base = worldHeight(left, bottom);
    options.offset = static_cast<float>(base);
    // VTEX: 16 blocks of 4 x 4 squares, each square 4 vertices wide.
    options.vtex.resize(256);
    for (int block = 0; block < 16; ++block)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                int row = 4 * (block / 4) + r, column = 4 * (block % 4) + c;
                options.vtex[16 * block + 4 * r + c] = textureAt(left + 4 * column + 2, bottom + 4 * row + 2);
            }
    return tes3::land(gridX, gridY,
                      [&](int r, int c) { return worldHeight(left + c, bottom + r) - base; }, options);
}

// A reference to a base object placed at (x, y) in the world.
tes3::Bytes placedReference(int32_t number, const char* baseId, float x, float y) {
    tes3::Record reference("FRMR");
    reference.sub("FRMR", tes3::int32s({number}))
        .ztext("NAME", baseId)
        .sub("XSCL", tes3::floats({1.0f}))
        .sub("DATA", tes3::floats({x, y, 120.0f, 0.0f, 0.0f, 1.5f}));
    return reference.data();
}

// A Bitter Coast grove in every cell, standing on the land: objects that
// lfdat/objects.dat has stand-ins for, some scaled and turned.
void addGrove(tes3::Record& cell, int32_t gridX, int32_t gridY, int32_t firstNumber) {
    static const char* const grove[] = {"flora_bc_tree_01", "flora_bc_tree_02",   "flora_bc_knee_02", "flora_bc_fern_01",
                                        "terrain_rock_bc_17", "flora_bc_tree_05", "flora_bc_fern_03", "terrain_rock_bc_18"};
    for (int i = 0; i < 8; ++i) {
        // Game units: 8192 to a cell, 128 to a vertex, 8 to a height unit.
        float x = 8192.0f * static_cast<float>(gridX) + 900.0f + 800.0f * static_cast<float>(i);
        float y = 8192.0f * static_cast<float>(gridY) + 2000.0f + 600.0f * static_cast<float>(i % 3);
        float z = 8.0f * static_cast<float>(worldHeight(static_cast<int>(x / 128.0f), static_cast<int>(y / 128.0f)));
        tes3::Record reference("FRMR");
        reference.sub("FRMR", tes3::int32s({firstNumber + i}))
            .ztext("NAME", grove[i])
            .sub("XSCL", tes3::floats({i % 4 == 1 ? 1.3f : 1.0f}))
            .sub("DATA", tes3::floats({x, y, z, 0.0f, 0.0f, 0.7f * static_cast<float>(i)}));
        cell.raw(reference.data());
    }
}

// A door at (x, y, z) that leads to the point given, in the interior named
// (or, without a name, in the exterior).
tes3::Bytes door(int32_t number, const char* baseId, std::array<float, 3> at, std::array<float, 3> to,
                 const char* interior) {
    tes3::Record reference("FRMR");
    reference.sub("FRMR", tes3::int32s({number}))
        .ztext("NAME", baseId)
        .sub("DODT", tes3::floats({to[0], to[1], to[2], 0.0f, 0.0f, 3.1f}));
    if (interior != nullptr) reference.ztext("DNAM", interior);
    reference.sub("DATA", tes3::floats({at[0], at[1], at[2], 0.0f, 0.0f, 0.0f}));
    return reference.data();
}

float groundAt(float x, float y) {
    return 8.0f * static_cast<float>(worldHeight(static_cast<int>(x / 128.0f), static_cast<int>(y / 128.0f)));
}

// The cellar below Landfer Crossing: lit, with water, a fern and a rock,
// an NPC, and its door up to the house door above.
tes3::Record cellar() {
    tes3::Record interior = tes3::cell("Landfer Crossing, Cellar", 0, 0, 0x01 | 0x02);
    interior.sub("WHGT", tes3::floats({-64.0f}));
    tes3::Bytes light = {40, 36, 30, 0, 120, 110, 90, 0, 20, 20, 24, 0};
    tes3::Bytes density = tes3::floats({0.3f});
    light.insert(light.end(), density.begin(), density.end());
    interior.sub("AMBI", light);
    interior.raw(door(1, "in_c_door_wood_square", {0.0f, -300.0f, 0.0f}, {4000.0f, 3800.0f, groundAt(4000.0f, 3800.0f)},
                      nullptr));
    interior.raw(placedReference(2, "flora_bc_fern_01", 200.0f, 100.0f));
    interior.raw(placedReference(3, "terrain_rock_bc_17", -250.0f, 150.0f));
    interior.raw(placedReference(4, "lf_pilgrim_orm", 50.0f, 50.0f));
    return interior;
}

}  // namespace

void addLandscape(tes3::Plugin& plugin) {
    for (int i = 0; i < 5; ++i) plugin.add(tes3::landTexture(std::string("lf_tex_") + std::to_string(i), i, textures[i]));
    for (int gridY = -1; gridY <= 1; ++gridY) {
        for (int gridX = -1; gridX <= 1; ++gridX) {
            std::string name = gridX == 0 && gridY == 0 ? "Landfer Crossing" : "";
            tes3::Record cell = tes3::cell(name, gridX, gridY);
            cell.ztext("RGNN", "Bitter Coast Region");
            if (gridX == 0 && gridY == 0) {
                // Two NPCs in the south-west quad, one in the north-east; a tree
                // and an ID that only begins like an NPC's are not placed.
                cell.sub("NAM0", tes3::int32s({5}));
                cell.raw(placedReference(1, "lf_ald_warden", 1000.0f, 1200.0f));
                cell.raw(placedReference(2, "lf_trader_sinja", 2500.0f, 300.0f));
                cell.raw(placedReference(3, "lf_pilgrim_orm", 7000.0f, 6000.0f));
                cell.raw(placedReference(4, "flora_tree_01", 3000.0f, 3000.0f));
                cell.raw(placedReference(5, "lf_ald_warden_ghost", 3500.0f, 3000.0f));
                // The house door down to the cellar.
                cell.raw(door(7, "ex_common_door_01", {4000.0f, 4000.0f, groundAt(4000.0f, 4000.0f)},
                              {0.0f, -200.0f, 10.0f}, "Landfer Crossing, Cellar"));
            }
            if (gridX == -1 && gridY == 1) cell.raw(placedReference(6, "lf_scout_ilara", -0.5f, 8200.0f));
            addGrove(cell, gridX, gridY, 100 + 10 * (3 * (gridY + 1) + gridX + 1));
            plugin.add(cell).add(sampleLand(gridX, gridY));
        }
    }
    plugin.add(cellar());
}

}  // namespace sample
