// landfer-inspect's pictures: placed objects marked on the heightmap, and
// an object's place against its cell's area.
#include <gtest/gtest.h>

#include "land_images.h"
#include "world_lands.h"

using inspect::PlacedObject;

namespace {

inspect::WorldLands flatWorld(int32_t x, int32_t y) {
    inspect::WorldLands world;
    inspect::DecodedLand land;
    land.gridX = x;
    land.gridY = y;
    land.heights.assign(inspect::landSide * inspect::landSide, 0.0f);
    land.textures.assign(inspect::landSide * inspect::landSide, 0);
    world.lands.push_back(land);
    world.minX = world.maxX = x;
    world.minY = world.maxY = y;
    return world;
}

PlacedObject objectAt(float x, float y, int32_t cellX, int32_t cellY) {
    PlacedObject object;
    object.x = x;
    object.y = y;
    object.cellX = cellX;
    object.cellY = cellY;
    return object;
}

bool red(const inspect::Rgb& colour) { return colour.r == 230 && colour.g == 30 && colour.b == 30; }

}  // namespace

TEST(InspectorImages, EachPlacedObjectIsADotOnTheHeightmap) {
    inspect::WorldLands world = flatWorld(-1, 2);
    // Vertex (column 8, row 4) of the cell at (-1, 2): x = -4096 + 8 * 128, y = 8192 + 4 * 128.
    world.objects.push_back(objectAt(-4096.0f + 1024.0f, 8192.0f + 512.0f, -1, 2));
    world.objects.push_back(objectAt(1.0e9f, 0.0f, -1, 2));  // far outside the picture: not drawn
    size_t width = 0, height = 0;
    std::string problem;
    ASSERT_TRUE(inspect::imageSize(world, width, height, problem)) << problem;
    inspect::RgbImage image = inspect::drawHeightmap(world, width, height);
    size_t column = 8, row = height - 1 - 4;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) EXPECT_TRUE(red(image.get(column + dx, row + dy))) << dx << ", " << dy;
    int redPixels = 0;
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x) redPixels += red(image.get(x, y));
    EXPECT_EQ(redPixels, 9);
    // Without objects the same spot is grey.
    world.objects.clear();
    EXPECT_FALSE(red(inspect::drawHeightmap(world, width, height).get(column, row)));
}

TEST(InspectorImages, AnObjectIsInsideItsCellByFloorDivision) {
    EXPECT_TRUE(objectAt(0.0f, 4095.5f, 0, 0).insideItsCell());
    EXPECT_TRUE(objectAt(-0.5f, -4096.0f, -1, -1).insideItsCell());
    EXPECT_FALSE(objectAt(-0.5f, 10.0f, 0, 0).insideItsCell());
    EXPECT_FALSE(objectAt(4096.0f, 10.0f, 0, 0).insideItsCell());
}
