#include "big_land.h"

#include <algorithm>
#include <cmath>

#include "big_random.h"

namespace big {

namespace {

// Height units at world vertex (x, y), 64 vertices to a cell. The hills
// climb at most about 45 units a vertex and a cliff adds 70 at once, so
// every step fits a signed byte.
int32_t worldHeight(int x, int y) {
    double hills = 1500 * std::sin(x * 0.011) + 700 * std::sin(y * 0.017 + x * 0.005) +
                   120 * std::sin(x * 0.09 + y * 0.07);
    double ridge = std::sin(x * 0.004 + 1.3) * std::cos(y * 0.0031);
    return static_cast<int32_t>(std::lround(hills)) + (ridge > 0.8 ? 70 : 0);
}

uint8_t clampByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

tes3::Bytes normalsAndColours(int left, int bottom, tes3::Bytes& colours) {
    tes3::Bytes normals(65 * 65 * 3);
    colours.assign(65 * 65 * 3, 0);
    for (int r = 0; r < 65; ++r)
        for (int c = 0; c < 65; ++c) {
            int x = left + c, y = bottom + r;
            double dx = worldHeight(x + 1, y) - worldHeight(x - 1, y);
            double dy = worldHeight(x, y + 1) - worldHeight(x, y - 1);
            double length = std::sqrt(dx * dx + dy * dy + 64.0 * 64.0);
            size_t at = 3 * (65 * r + c);
            normals[at] = static_cast<uint8_t>(static_cast<int8_t>(std::lround(-127 * dx / length)));
            normals[at + 1] = static_cast<uint8_t>(static_cast<int8_t>(std::lround(-127 * dy / length)));
            normals[at + 2] = static_cast<uint8_t>(static_cast<int8_t>(std::lround(127 * 64.0 / length)));
            double h = worldHeight(x, y), shade = 0.5 + 0.5 * std::sin(x * 0.05) * std::cos(y * 0.06);
            colours[at] = clampByte(190 + h / 40 + 30 * shade);
            colours[at + 1] = clampByte(200 - h / 60 + 20 * shade);
            colours[at + 2] = clampByte(170 + 40 * shade);
        }
    return normals;
}

// 16 x 16 texture squares in patches around 8 to 20 seeds, each seed with
// its own texture, in VTEX's stored order (4 x 4 blocks of 4 x 4).
std::vector<uint16_t> texturePatches(int32_t gridX, int32_t gridY, int textureCount) {
    Random random(0x4C414E44ull ^ (static_cast<uint64_t>(static_cast<uint32_t>(gridX)) << 32) ^
                  static_cast<uint32_t>(gridY));
    int seeds = random.between(8, 20);
    struct Seed {
        int row, column;
        uint16_t texture;
    };
    std::vector<Seed> placed;
    while (static_cast<int>(placed.size()) < seeds) {
        Seed seed{random.between(0, 15), random.between(0, 15), 0};
        uint16_t texture = static_cast<uint16_t>(1 + random.below(static_cast<uint32_t>(textureCount)));
        bool taken = false;
        for (const Seed& other : placed)
            taken = taken || (other.row == seed.row && other.column == seed.column) || other.texture == texture;
        if (taken) continue;
        seed.texture = texture;
        placed.push_back(seed);
    }
    std::vector<uint16_t> vtex(256);
    for (int block = 0; block < 16; ++block)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                int row = 4 * (block / 4) + r, column = 4 * (block % 4) + c;
                const Seed* nearest = &placed[0];
                int best = 1 << 30;
                for (const Seed& seed : placed) {
                    int distance = (seed.row - row) * (seed.row - row) + (seed.column - column) * (seed.column - column);
                    if (distance < best) best = distance, nearest = &seed;
                }
                vtex[16 * block + 4 * r + c] = nearest->texture;
            }
    return vtex;
}

}  // namespace

tes3::Record bigLand(int32_t gridX, int32_t gridY, int textureCount) {
    int left = gridX * 64, bottom = gridY * 64;
    tes3::LandOptions options;
    options.colours = true;
    int32_t base = worldHeight(left, bottom);
    options.offset = static_cast<float>(base);
    options.normalBytes = normalsAndColours(left, bottom, options.colourBytes);
    options.vtex = texturePatches(gridX, gridY, textureCount);
    return tes3::land(gridX, gridY, [&](int r, int c) { return worldHeight(left + c, bottom + r) - base; }, options);
}

float groundHeight(float x, float y) {
    return 8.0f * static_cast<float>(worldHeight(static_cast<int>(std::lround(x / 128.0f)),
                                                 static_cast<int>(std::lround(y / 128.0f))));
}

}  // namespace big
