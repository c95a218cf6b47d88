#include "landscape/texture_layers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

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
static_assert(quadrantVertices == quadrantSide * quadrantSide, "a quadrant's vertices");

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
    std::array<int, 34> square;
    for (int p = 0; p < 34; ++p) square[p] = static_cast<int>(p * 0.242);
    // Each of the quad's 8 x 8 squares is looked up once (its vertices only
    // repeat its FormID), and a square of the texture before it not at all;
    // each row of squares is sampled once, and its vertex rows copied.
    std::array<uint32_t, quadSquares * 34> squareRows;
    uint16_t lastNumber = 0;
    uint32_t lastFormId = textureFormId(table, 0);
    for (int r = 0; r < quadSquares; ++r) {
        std::array<uint32_t, quadSquares> formIds;
        for (int c = 0; c < quadSquares; ++c) {
            uint16_t number = grid[16 * (rowBase + r) + colBase + c];
            if (number != lastNumber) lastFormId = textureFormId(table, lastNumber = number);
            formIds[c] = lastFormId;
        }
        for (int j = 0; j < 34; ++j) squareRows[34 * r + j] = formIds[square[j]];
    }
    QuadTextureGrid out;
    for (int i = 0; i < 34; ++i)
        std::copy_n(squareRows.begin() + 34 * square[i], 34, out.begin() + 34 * i);
    return out;
}

namespace {

using Textures = PlannedQuadrant::Textures;
using Plan = PlannedQuadrant::Plan;
using Run = Textures::Run;
constexpr int baseTexture = PlannedQuadrant::baseTexture, droppedTexture = PlannedQuadrant::droppedTexture;

uint16_t textureIndex(Textures& textures, uint32_t formId) {
    for (uint16_t i = 0; i < textures.count; ++i)
        if (textures.formIds[i] == formId) return i;
    textures.formIds[textures.count] = formId;
    textures.vertices[textures.count] = 0;
    return textures.count++;
}

void addRun(Textures& textures, int first, int length, uint16_t texture) {
    textures.vertices[texture] += length;
    textures.runs[textures.runCount++] = {static_cast<uint16_t>(first), static_cast<uint16_t>(length), texture};
}

void gatherTextures(const QuadTextureGrid& grid, Quad quadrant, Textures& textures) {
    int rowStart = quadFirstRow(quadrant, quadrantSide), colStart = quadFirstColumn(quadrant, quadrantSide);
    const uint32_t* below = nullptr;
    uint16_t belowRuns = 0;  // the first run of the row below
    for (int r = 0; r < quadrantSide; ++r) {
        const uint32_t* row = grid.data() + 34 * (rowStart + r) + colStart;
        uint16_t rowRuns = textures.runCount;
        // The rows across one square are alike: such a row repeats the runs of the row below.
        if (below != nullptr && std::equal(row, row + quadrantSide, below)) {
            for (uint16_t k = belowRuns; k < rowRuns; ++k) {
                Run run = textures.runs[k];
                addRun(textures, run.first + quadrantSide, run.length, run.texture);
            }
        } else {
            for (int c = 0, end; c < quadrantSide; c = end) {
                for (end = c + 1; end < quadrantSide && row[end] == row[c];) ++end;
                if (row[c] != 0) addRun(textures, quadrantSide * r + c, end - c, textureIndex(textures, row[c]));
            }
        }
        below = row;
        belowRuns = rowRuns;
    }
}

// Marks the textures other than the base that lose their layer: all but
// the eight covering the most (the first met on a tie).
void markDropped(const Textures& textures, Plan& plan) {
    std::array<uint16_t, quadrantVertices> ranked;
    uint16_t others = 0;
    for (uint16_t i = 0; i < textures.count; ++i)
        if (plan.layerOf[i] != baseTexture) ranked[others++] = i;
    std::stable_sort(ranked.begin(), ranked.begin() + others,
                     [&textures](uint16_t a, uint16_t b) { return textures.vertices[a] > textures.vertices[b]; });
    for (uint16_t k = maxQuadrantLayers; k < others; ++k) plan.layerOf[ranked[k]] = droppedTexture;
}

Plan planTextures(const Textures& textures) {
    Plan plan;
    if (textures.count == 0) return plan;
    uint16_t base = 0;  // the first of the most
    for (uint16_t i = 1; i < textures.count; ++i)
        if (textures.vertices[i] > textures.vertices[base]) base = i;
    plan.base = textures.formIds[base];
    std::fill(plan.layerOf.begin(), plan.layerOf.begin() + textures.count, 0);
    plan.layerOf[base] = baseTexture;
    if (textures.count > maxQuadrantLayers + 1) markDropped(textures, plan);
    // The layers kept are numbered in order of first appearance.
    for (uint16_t i = 0; i < textures.count; ++i)
        if (plan.layerOf[i] >= 0) plan.layerOf[i] = plan.layerCount++;
    return plan;
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

void PlannedQuadrant::plan(const QuadTextureGrid& grid, Quad quadrant) {
    quadrant_ = quadrant;
    textures_.count = textures_.runCount = 0;
    gatherTextures(grid, quadrant, textures_);
    plan_ = planTextures(textures_);
}

QuadrantPaint PlannedQuadrant::paint() const {
    QuadrantPaint paint;
    paint.base = plan_.base;
    for (uint16_t i = 0; i < textures_.count; ++i) {
        if (plan_.layerOf[i] >= 0) paint.layers.push_back(textures_.formIds[i]);
        if (plan_.layerOf[i] == droppedTexture) paint.dropped.push_back(textures_.formIds[i]);
    }
    return paint;
}

QuadrantPaint planQuadrant(const QuadTextureGrid& grid, Quad quadrant) {
    return PlannedQuadrant(grid, quadrant).paint();
}

namespace {

// The runs of each layer in row order, one layer after the other:
// `start[layer]` is where a layer's begin, `start[layer + 1]` where they end.
struct LayerRuns {
    std::array<Run, quadrantVertices> runs;
    std::array<int, maxQuadrantLayers + 1> start{};
};

LayerRuns sortByLayer(const Textures& textures, const Plan& plan) {
    LayerRuns out;
    for (uint16_t k = 0; k < textures.runCount; ++k) {
        int layer = plan.layerOf[textures.runs[k].texture];
        if (layer >= 0) ++out.start[layer + 1];
    }
    for (size_t layer = 1; layer < out.start.size(); ++layer) out.start[layer] += out.start[layer - 1];
    std::array<int, maxQuadrantLayers> next;
    std::copy(out.start.begin(), out.start.end() - 1, next.begin());
    for (uint16_t k = 0; k < textures.runCount; ++k) {
        int layer = plan.layerOf[textures.runs[k].texture];
        if (layer >= 0) out.runs[next[layer]++] = textures.runs[k];
    }
    return out;
}

// A layer's VTXT: each vertex's position, 2 unused bytes and its opacity
// (1.0), stored in place in storage sized once.
void writeLayerVertices(RecordWriter& record, const LayerRuns& layers, int layer) {
    const Run* first = layers.runs.data() + layers.start[layer];
    const Run* end = layers.runs.data() + layers.start[layer + 1];
    size_t length = 0;
    for (const Run* run = first; run != end; ++run) length += 8 * size_t{run->length};
    std::vector<uint8_t>& data = record.subrecord("VTXT");
    size_t at = data.size();
    data.resize(at + length);
    uint8_t* out = data.data() + at;
    for (const Run* run = first; run != end; ++run)
        for (uint32_t vertex = run->first; vertex < uint32_t{run->first} + run->length; ++vertex, out += 8) {
            storeUint32(out, vertex);
            storeUint32(out + 4, 0x3F800000);
        }
}

}  // namespace

// The BTXT, and an ATXT of 8 bytes and a VTXT of 8 a vertex for each layer.
size_t PlannedQuadrant::size() const {
    if (plan_.base == 0) return 0;
    size_t size = subrecordHeaderSize + 8;
    for (uint16_t i = 0; i < textures_.count; ++i)
        if (plan_.layerOf[i] >= 0) size += 2 * subrecordHeaderSize + 8 + 8 * static_cast<size_t>(textures_.vertices[i]);
    return size;
}

void PlannedQuadrant::write(RecordWriter& record) const {
    if (plan_.base == 0) return;
    writeLayerHeader(record, "BTXT", plan_.base, quadrant_, 0);
    LayerRuns layers = sortByLayer(textures_, plan_);
    for (uint16_t i = 0; i < textures_.count; ++i) {
        int layer = plan_.layerOf[i];
        if (layer < 0) continue;
        writeLayerHeader(record, "ATXT", textures_.formIds[i], quadrant_, static_cast<size_t>(layer));
        writeLayerVertices(record, layers, layer);
    }
}

void writeQuadrantLayers(const QuadTextureGrid& grid, Quad quadrant, RecordWriter& record) {
    PlannedQuadrant(grid, quadrant).write(record);
}

}  // namespace landfer
