// Land: each Morrowind LAND becomes four compressed Oblivion LAND records,
// one behind each quad cell of its grid. Land textures: each Morrowind
// LTEX record names a texture file; the lookup file "ltex.dat" maps that
// file name to an Oblivion land texture. Land records name textures by
// number: the LTEX index (INTV) + 1.
#include "landscape/land_converter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "landscape/land_conversion.h"
#include "landscape/land_texture_record.h"

namespace landfer {

bool readLand(ProblemSink& problems, RecordData record, LandInput& input) {
    SubrecordCursor cursor(record);
    if (!cursor.nextIs("INTV")) return false;
    Subrecord grid = cursor.next();
    grid.require(8);
    input.gridX = readInt32(grid.data);
    input.gridY = readInt32(grid.data + 4);
    if (cursor.nextIs("DATA")) cursor.next();
    if (!cursor.nextIs("VNML")) return false;
    Subrecord normals = cursor.next();
    normals.require(normalsSize);
    input.normals = normals.data;
    if (!cursor.nextIs("VHGT")) {
        problems.tell(Problem::skipped("LAND", formatText("at grid (%d, %d)", input.gridX, input.gridY),
                                       "Unable to find VHGT!!!\n"));
        return false;
    }
    Subrecord heights = cursor.next();
    heights.require(heightsSize);
    input.heights = heights.data;
    const float offset = readFloat(heights.data);
    if (!std::isfinite(offset)) throw MalformedRecord("its height offset is not a finite number");
    if (!heightOffsetConverts(offset))
        throw MalformedRecord(formatText("its height offset %g is beyond the heights Oblivion can hold", offset));
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        bool colours = sub.is("VCLR"), textures = sub.is("VTEX");
        if (!colours && !textures) continue;
        size_t needed = colours ? normalsSize : texturesSize;
        if (sub.size < needed) {
            // The land is still converted, without this subrecord.
            problems.tell(
                Problem::lost(LossKind::leftOutLandscape,
                              formatText("%.4s of LAND (%d, %d)", sub.type.data(), input.gridX, input.gridY))
                    .saying("LAND", formatText("The LAND record at grid (%d, %d) is malformed (its %.4s subrecord "
                                               "holds %zu of %zu bytes): the land is converted without it.\n",
                                               input.gridX, input.gridY, sub.type.data(), sub.size, needed))
                    .placedAt(sub.data - inputSubrecordHeaderSize));
            continue;
        }
        (colours ? input.colours : input.textures) = sub.data;
    }
    return true;
}

void LandConverter::convertLand(RecordData record) {
    LandInput input;
    if (!readLand(problems_, record, input)) return;
    if (!gridFitsWorld(input.gridX, input.gridY)) {
        problems_.tell(
            Problem::lost(LossKind::leftOutLandscape, formatText("LAND (%d, %d)", input.gridX, input.gridY))
                .saying("LAND", formatText("The LAND record at grid (%d, %d) cannot be converted: only grids from "
                                           "-131072 to 131071 fit Oblivion's world. Ignoring!\n",
                                           input.gridX, input.gridY)));
        return;
    }
    long found = cells_.world().find(input.gridX, input.gridY);
    if (found >= 0 && cells_.world().hasLand(static_cast<size_t>(found))) {
        // Oblivion's world holds one cell, and one land, per grid.
        problems_.tell(
            Problem::lost(LossKind::leftOutLandscape, formatText("second LAND (%d, %d)", input.gridX, input.gridY))
                .saying("LAND", formatText("The LAND record at grid (%d, %d) repeats the land of that grid. "
                                           "Ignoring!\n",
                                           input.gridX, input.gridY)));
        return;
    }
    ++landCount_;
    if (input.textures != nullptr) noteUnpaintedSquares(landTextureTable_, input.textures, problems_.losses());

    // A land whose cell is not in the plugin gets unnamed cells, with water.
    attachLand(cells_.cellForLand(input.gridX, input.gridY), input, landTextureTable_);
}

// The quads are built first, their FormIDs taken in quad order, then
// given to be compressed in the background; once compressed they are
// staged in the world behind their cells. Where in the staging file a
// land lies does not matter, so its batch may wait behind later ones.
void LandConverter::attachLand(size_t cell, const LandInput& input, const LandTextureTable& textures) {
    MovedHeights moved;
    CompressionQueue& queue = output_.deflater.queue();
    RecordWriter* const* quads = queue.startBatch(4, true);
    for (Quad quad : allQuads) {
        RecordWriter& record = *quads[quadIndex(quad)];
        record.begin("LAND", output_.formIds);
        MovedHeights quadMoved = writeQuadData(textures, input, quad, record);
        moved.vertices += quadMoved.vertices;
        moved.largestError = std::max(moved.largestError, quadMoved.largestError);
    }
    if (moved.vertices > 0)
        problems_.tell(Problem::lost(LossKind::clampedHeights,
                                              formatText("LAND (%d, %d), up to %ld units", input.gridX, input.gridY,
                                                         8L * moved.largestError),
                                              moved.vertices));
    for (Quad quad : allQuads) quads[quadIndex(quad)]->takeFormId();
    WorldStaging& world = cells_.world();
    world.expectLand(cell);
    queue.give([&world, cell](RecordWriter* const* compressed, int) { world.attachLand(cell, compressed); });
}

void LandConverter::handleLandTexture(RecordData record) {
    MorrowindLandTexture texture = readLandTexture(record);
    const std::string& id = texture.id;
    uint32_t number = texture.index ? *texture.index + 1 : highestTextureNumber_ + 1;
    // Texture number 0 is the land's own "no texture": giving it a FormID
    // would paint every unpainted square. An index of -1 wraps around to it,
    // and so does the number after the highest, 0xFFFFFFFF.
    if (number == 0) {
        if (texture.index) throw MalformedRecord("it has the index -1, which would give it texture number 0, no texture");
        throw MalformedRecord("it has no index, and the number after the highest so far would be 0, no texture");
    }
    // A land texture without its file is skipped, with the message among
    // the progress; deleted ones never come here.
    if (!texture.fileName) {
        problems_.tell(Problem::skipped("LTEX", id, "Couldn't find LTEX DATA subrec!\n").amongTheProgress());
        return;
    }
    const std::string& fileName = *texture.fileName;

    uint32_t formId = 0;
    if (!lookups_.landTextureFiles.find(fileName, formId)) {
        // Its squares are counted when a land paints them (noteLandTexture).
        problems_.tell(Problem::lost(LossKind::landTexture, fileName, 0)
                                    .saying("LTEX", formatText("Unable to populate an ltex FormID for %s: Not in my "
                                                               "LTEX file!!\n",
                                                               fileName.c_str())));
        formId = 0;
    }
    problems_.losses().noteLandTexture(number, fileName, formId != 0);
    // An unknown texture keeps its number, without a FormID, so that the
    // numbers of the others stay where the land records expect them.
    landTextureTable_[number] = formId;
    if (number > highestTextureNumber_) highestTextureNumber_ = number;
}

}  // namespace landfer
