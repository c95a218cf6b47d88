#include "landscape/texture_layers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "esm/byte_order.h"

namespace landfer {

TextureGrid unblockTextureGrid(const uint8_t vtex[512]) {
    TextureGrid grid{};
    for (int block = 0; block < 16; ++block)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                int position = 16 * block + 4 * r + c;
                int row = 4 * (block / 4) + r, column = 4 * (block % 4) + c;
                grid[16 * row + column] = readUint16(vtex + 2 * position);
            }
    return grid;
}

uint32_t textureFormId(const LandTextureTable& table, uint32_t textureNumber) {
    auto entry = table.find(textureNumber);
    return entry != table.end() ? entry->second : 0;
}

namespace {

// The first texture grid row and column of quad 1 to 4 (SW, SE, NW, NE), 8 x 8 squares.
// A quad covers 8 x 8 of the land's 16 x 16 squares, a quadrant 4 x 4 of those.
constexpr int quadSquares = 8;
constexpr int quadrantSquares = 4;
// A quadrant's 17 x 17 vertices of a quad's 34 x 34.
constexpr int quadrantSide = 17;

// The squares of a quadrant whose texture lost its layer, by FormID.
void noteDroppedLayers(const LandTextureTable& table, const TextureGrid& grid, Quad quad, Losses& losses) {
    QuadTextureGrid sampled = sampleQuadTextures(table, grid, quad);
    for (Quad quadrant : allQuads) {
        QuadrantPaint paint = planQuadrant(sampled, quadrant);
        int row = quadFirstRow(quad, quadSquares) + quadFirstRow(quadrant, quadrantSquares);
        int column = quadFirstColumn(quad, quadSquares) + quadFirstColumn(quadrant, quadrantSquares);
        for (uint32_t formId : paint.dropped) {
            long squares = 0;
            for (int r = row; r < row + 4; ++r)
                for (int c = column; c < column + 4; ++c) squares += textureFormId(table, grid[16 * r + c]) == formId;
            char identifier[9];
            std::snprintf(identifier, sizeof identifier, "%08X", formId);
            losses.note(LossKind::textureLayer, identifier, squares);
        }
    }
}

// More than a base and eight layers are only possible with more than nine
// texture numbers among a quadrant's 4 x 4 squares.
bool mayDropLayers(const TextureGrid& grid) {
    for (int row = 0; row < 16; row += 4)
        for (int column = 0; column < 16; column += 4) {
            std::array<uint16_t, 16> numbers;
            size_t count = 0;
            for (int r = row; r < row + 4; ++r)
                for (int c = column; c < column + 4; ++c) {
                    uint16_t number = grid[16 * r + c];
                    auto end = numbers.begin() + count;
                    if (number != 0 && std::find(numbers.begin(), end, number) == end) numbers[count++] = number;
                }
            if (count > maxQuadrantLayers + 1) return true;
        }
    return false;
}

}  // namespace

void noteUnpaintedSquares(const LandTextureTable& table, const uint8_t vtex[512], Losses& losses,
                          const std::unordered_map<uint32_t, std::string>* masterFiles) {
    std::map<uint32_t, long> squares;
    for (int square = 0; square < 256; ++square) {
        uint32_t number = readUint16(vtex + 2 * square);
        if (number != 0 && textureFormId(table, number) == 0) ++squares[number];
    }
    for (const auto& [number, count] : squares) {
        if (masterFiles == nullptr) {
            losses.noteUnpaintedSquares(number, count);
            continue;
        }
        auto file = masterFiles->find(number);
        losses.noteUnpaintedSquaresOf(file != masterFiles->end() ? file->second
                                                                 : "texture number " + std::to_string(number) +
                                                                       " without LTEX",
                                      count);
    }
    TextureGrid grid = unblockTextureGrid(vtex);
    if (!mayDropLayers(grid)) return;
    for (Quad quad : allQuads) noteDroppedLayers(table, grid, quad, losses);
}

QuadTextureGrid sampleQuadTextures(const LandTextureTable& table, const TextureGrid& grid, Quad quad) {
    int rowBase = quadFirstRow(quad, quadSquares), colBase = quadFirstColumn(quad, quadSquares);
    auto square = [](int p) { return static_cast<int>(p * 0.242); };
    QuadTextureGrid out{};
    for (int i = 0; i < 34; ++i)
        for (int j = 0; j < 34; ++j)
            out[34 * i + j] = textureFormId(table, grid[16 * (rowBase + square(i)) + colBase + square(j)]);
    return out;
}

namespace {

// A quadrant's vertex (row, column 0..16) in a quad's 34 x 34 grid.
uint32_t quadrantVertex(const QuadTextureGrid& grid, Quad quadrant, int r, int c) {
    int rowStart = quadFirstRow(quadrant, quadrantSide), colStart = quadFirstColumn(quadrant, quadrantSide);
    return grid[34 * (rowStart + r) + colStart + c];
}

// BTXT and ATXT: the texture, the quadrant, an unused byte, the layer number.
void writeLayerHeader(RecordWriter& record, RecordType type, uint32_t formId, Quad quadrant, size_t layer) {
    std::vector<uint8_t>& data = record.subrecord(type);
    appendUint32(data, formId);
    data.push_back(static_cast<uint8_t>(quadIndex(quadrant)));
    data.push_back(0x79);
    appendUint16(data, static_cast<uint32_t>(layer));
}

}  // namespace

QuadrantPaint planQuadrant(const QuadTextureGrid& grid, Quad quadrant) {
    struct Texture {
        uint32_t formId;
        int vertices;
    };
    std::vector<Texture> met;  // in order of first appearance
    for (int r = 0; r < 17; ++r)
        for (int c = 0; c < 17; ++c) {
            uint32_t formId = quadrantVertex(grid, quadrant, r, c);
            if (formId == 0) continue;
            auto found =
                std::find_if(met.begin(), met.end(), [formId](const Texture& t) { return t.formId == formId; });
            if (found == met.end())
                met.push_back({formId, 1});
            else
                ++found->vertices;
        }
    QuadrantPaint paint;
    if (met.empty()) return paint;
    auto most = [](const Texture& a, const Texture& b) { return a.vertices > b.vertices; };
    auto base = std::min_element(met.begin(), met.end(), most);  // the first of the most
    paint.base = base->formId;
    met.erase(base);
    // The eight covering the most keep their layers, still in order of first appearance.
    std::vector<Texture> ranked = met;
    std::stable_sort(ranked.begin(), ranked.end(), most);
    auto keeps = [&ranked](uint32_t formId) {
        for (size_t i = 0; i < ranked.size() && i < maxQuadrantLayers; ++i)
            if (ranked[i].formId == formId) return true;
        return false;
    };
    for (const Texture& texture : met) (keeps(texture.formId) ? paint.layers : paint.dropped).push_back(texture.formId);
    return paint;
}

void writeQuadrantLayers(const QuadTextureGrid& grid, Quad quadrant, RecordWriter& record) {
    QuadrantPaint paint = planQuadrant(grid, quadrant);
    if (paint.base == 0) return;
    writeLayerHeader(record, "BTXT", paint.base, quadrant, 0);
    for (size_t layer = 0; layer < paint.layers.size(); ++layer) {
        uint32_t formId = paint.layers[layer];
        writeLayerHeader(record, "ATXT", formId, quadrant, layer);
        std::vector<uint8_t>& positions = record.subrecord("VTXT");
        for (int r = 0; r < 17; ++r)
            for (int c = 0; c < 17; ++c) {
                if (quadrantVertex(grid, quadrant, r, c) != formId) continue;
                appendUint16(positions, static_cast<uint32_t>(17 * r + c));
                appendUint16(positions, 0);
                appendUint32(positions, 0x3F800000);  // opacity 1.0
            }
    }
}

}  // namespace landfer
