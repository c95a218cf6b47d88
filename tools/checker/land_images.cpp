#include "land_images.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace inspect {

namespace {

// Calls visit(x, y, vertexIndex) for every vertex of a land, in picture coordinates.
template <typename Visit>
void forEachVertex(const WorldLands& world, const DecodedLand& land, size_t height, Visit visit) {
    size_t left = static_cast<size_t>(land.gridX - world.minX) * (landSide - 1);
    size_t bottom = static_cast<size_t>(land.gridY - world.minY) * (landSide - 1);
    for (int r = 0; r < landSide; ++r)
        for (int c = 0; c < landSide; ++c) visit(left + c, height - 1 - (bottom + r), r * landSide + c);
}

Rgb hueColour(double hue) {
    // A bright colour of the given hue (0..1).
    double h = hue * 6.0, f = h - std::floor(h);
    auto level = [](double v) { return static_cast<uint8_t>(60 + 195 * v); };
    switch (static_cast<int>(h) % 6) {
        case 0: return {level(1), level(f), level(0)};
        case 1: return {level(1 - f), level(1), level(0)};
        case 2: return {level(0), level(1), level(f)};
        case 3: return {level(0), level(1 - f), level(1)};
        case 4: return {level(f), level(0), level(1)};
        default: return {level(1), level(0), level(1 - f)};
    }
}

// A red dot of 3 x 3 pixels on each placed object; vertices are 128 units apart.
void markPlacedObjects(const WorldLands& world, RgbImage& image) {
    const double width = static_cast<double>(image.width()), height = static_cast<double>(image.height());
    for (const PlacedObject& object : world.objects) {
        double column = std::round(object.x / 128.0 - static_cast<double>(world.minX) * (landSide - 1));
        double row = std::round(object.y / 128.0 - static_cast<double>(world.minY) * (landSide - 1));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                double x = column + dx, y = height - 1 - (row + dy);
                if (x >= 0 && x < width && y >= 0 && y < height)
                    image.set(static_cast<size_t>(x), static_cast<size_t>(y), Rgb{230, 30, 30});
            }
    }
}

}  // namespace

bool imageSize(const WorldLands& world, size_t& width, size_t& height, std::string& problem, size_t maxPixels) {
    if (world.lands.empty()) {
        problem = "the plugin has no land in its world";
        return false;
    }
    // Grid coordinates are 32-bit, so these products stay far inside 64 bits.
    int64_t wide = (static_cast<int64_t>(world.maxX) - world.minX + 1) * (landSide - 1) + 1;
    int64_t high = (static_cast<int64_t>(world.maxY) - world.minY + 1) * (landSide - 1) + 1;
    if (wide > static_cast<int64_t>(maxPixels) || high > static_cast<int64_t>(maxPixels) ||
        static_cast<uint64_t>(wide) * static_cast<uint64_t>(high) > maxPixels) {
        problem = "the world's cells (x " + std::to_string(world.minX) + " to " + std::to_string(world.maxX) +
                  ", y " + std::to_string(world.minY) + " to " + std::to_string(world.maxY) + ") would make a picture of " +
                  std::to_string(wide) + " x " + std::to_string(high) + " pixels, more than the largest picture drawn (" +
                  std::to_string(maxPixels) + " pixels)";
        return false;
    }
    width = static_cast<size_t>(wide);
    height = static_cast<size_t>(high);
    return true;
}

RgbImage drawHeightmap(const WorldLands& world, size_t width, size_t height) {
    const float none = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> heights(width * height, none);
    float low = std::numeric_limits<float>::max(), high = std::numeric_limits<float>::lowest();
    for (const DecodedLand& land : world.lands) {
        forEachVertex(world, land, height, [&](size_t x, size_t y, int vertex) {
            float h = land.heights[vertex];
            heights[y * width + x] = h;
            low = std::min(low, h);
            high = std::max(high, h);
        });
    }
    auto at = [&](size_t x, size_t y, float fallback) {
        float h = heights[y * width + x];
        return std::isnan(h) ? fallback : h;
    };
    // Light from the north-west, 45 degrees up; vertices are 128 units apart.
    const double lx = -0.5, ly = 0.5, lz = std::sqrt(0.5), spacing = 128.0;
    double range = high > low ? high - low : 1.0;
    RgbImage image(width, height, Rgb{0, 0, 48});
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            float h = heights[y * width + x];
            if (std::isnan(h)) continue;
            double east = at(std::min(x + 1, width - 1), y, h) - at(x > 0 ? x - 1 : 0, y, h);
            double north = at(x, y > 0 ? y - 1 : 0, h) - at(x, std::min(y + 1, height - 1), h);
            double nx = -east / (2 * spacing), ny = -north / (2 * spacing), nz = 1.0;
            double shade = std::max(0.0, (nx * lx + ny * ly + nz * lz) / std::sqrt(nx * nx + ny * ny + nz * nz));
            double level = 0.65 * shade + 0.35 * (h - low) / range;
            uint8_t grey = static_cast<uint8_t>(std::clamp(30.0 + 225.0 * level, 0.0, 255.0));
            image.set(x, y, Rgb{grey, grey, grey});
        }
    }
    markPlacedObjects(world, image);
    return image;
}

RgbImage drawTextureMap(const WorldLands& world, size_t width, size_t height, std::map<uint32_t, Rgb>& legend) {
    for (const DecodedLand& land : world.lands)
        for (uint32_t formId : land.textures)
            if (formId != 0) legend[formId] = Rgb();
    // Hues spread by the golden ratio, in FormID order, so the colours stay apart.
    double hue = 0.0;
    for (auto& entry : legend) {
        entry.second = hueColour(hue);
        hue = std::fmod(hue + 0.6180339887, 1.0);
    }
    RgbImage image(width, height, Rgb{0, 0, 48});
    for (const DecodedLand& land : world.lands) {
        forEachVertex(world, land, height, [&](size_t x, size_t y, int vertex) {
            uint32_t formId = land.textures[vertex];
            image.set(x, y, formId != 0 ? legend[formId] : Rgb{90, 90, 90});
        });
    }
    return image;
}

}  // namespace inspect
