#include "tes3_land.h"

#include <cstring>
#include <stdexcept>

namespace tes3 {

Record cell(std::string_view name, int32_t gridX, int32_t gridY, uint32_t flags) {
    Record record("CELL");
    record.ztext("NAME", name).sub("DATA", int32s({static_cast<int32_t>(flags), gridX, gridY}));
    return record;
}

Record land(int32_t gridX, int32_t gridY, const HeightFunction& heights, const LandOptions& options) {
    Bytes normals(65 * 65 * 3), colours(65 * 65 * 3);
    for (size_t i = 0; i < normals.size(); ++i) {
        normals[i] = static_cast<uint8_t>(i * 13 + gridX);
        colours[i] = static_cast<uint8_t>(i * 7 + gridY);
    }
    if (!options.normalBytes.empty()) normals = options.normalBytes;
    if (!options.colourBytes.empty()) colours = options.colourBytes;
    Bytes vhgt = floats({options.offset});
    for (int r = 0; r < 65; ++r) {
        for (int c = 0; c < 65; ++c) {
            int32_t previous = c > 0 ? heights(r, c - 1) : (r > 0 ? heights(r - 1, 0) : 0);
            int32_t delta = heights(r, c) - previous;
            if (delta < -128 || delta > 127) throw std::runtime_error("height step does not fit a byte");
            vhgt.push_back(static_cast<uint8_t>(static_cast<int8_t>(delta)));
        }
    }
    vhgt.push_back(0x11);
    vhgt.push_back(0x22);
    vhgt.push_back(0x33);
    Record record("LAND");
    record.sub("INTV", int32s({gridX, gridY})).sub("DATA", int32s({9})).sub("VNML", normals).sub("VHGT", vhgt);
    if (!options.vtex.empty()) {
        Bytes vtex;
        for (uint16_t number : options.vtex) {
            vtex.push_back(static_cast<uint8_t>(number));
            vtex.push_back(static_cast<uint8_t>(number >> 8));
        }
        record.sub("WNAM", Bytes(81, 0)).sub("VTEX", vtex);
    }
    if (options.colours) record.sub("VCLR", colours);
    return record;
}

Record landTexture(std::string_view id, int32_t index, std::string_view file) {
    Record record("LTEX");
    record.ztext("NAME", id).sub("INTV", int32s({index})).ztext("DATA", file);
    return record;
}

Bytes reference(uint32_t number, std::string_view id, float x, float y, float z, const Bytes& extra) {
    Record ref("FRMR");
    ref.sub("FRMR", int32s({static_cast<int32_t>(number)})).ztext("NAME", id).raw(extra);
    ref.sub("DATA", floats({x, y, z, 0, 0, 0}));
    return ref.data();
}

Bytes deletedReference(uint32_t number, std::string_view id) {
    Record ref("FRMR");
    ref.sub("FRMR", int32s({static_cast<int32_t>(number)})).ztext("NAME", id).sub("DELE", int32s({0}));
    return ref.data();
}

Bytes movedReference(uint32_t number, int32_t gridX, int32_t gridY, std::string_view id, float x, float y) {
    Record move("MVRF");
    move.sub("MVRF", int32s({static_cast<int32_t>(number)})).sub("CNDT", int32s({gridX, gridY}));
    Bytes bytes = move.data();
    Bytes moved = reference(number, id, x, y);
    bytes.insert(bytes.end(), moved.begin(), moved.end());
    return bytes;
}

std::vector<double> decodeHeights(const Bytes& vhgt, int side) {
    float offset;
    std::memcpy(&offset, vhgt.data(), 4);
    std::vector<double> heights(side * side);
    double rowStart = offset;
    for (int r = 0; r < side; ++r) {
        rowStart += static_cast<int8_t>(vhgt[4 + r * side]);
        double h = rowStart;
        heights[r * side] = h;
        for (int c = 1; c < side; ++c) {
            h += static_cast<int8_t>(vhgt[4 + r * side + c]);
            heights[r * side + c] = h;
        }
    }
    return heights;
}

const ReadSubrecord* ReadRecord::find(const std::string& wanted) const {
    for (const ReadSubrecord& sub : subrecords)
        if (sub.type == wanted) return &sub;
    return nullptr;
}

std::vector<ReadRecord> readPlugin(const Bytes& bytes) {
    auto u32 = [&](size_t p) {
        return bytes[p] | (bytes[p + 1] << 8) | (bytes[p + 2] << 16) | (static_cast<uint32_t>(bytes[p + 3]) << 24);
    };
    std::vector<ReadRecord> records;
    size_t p = 0;
    while (p + 16 <= bytes.size()) {
        ReadRecord record;
        record.type.assign(reinterpret_cast<const char*>(&bytes[p]), 4);
        size_t end = p + 16 + u32(p + 4);
        if (end > bytes.size()) throw std::runtime_error("TES3 record runs past the end");
        for (size_t s = p + 16; s + 8 <= end;) {
            ReadSubrecord sub;
            sub.type.assign(reinterpret_cast<const char*>(&bytes[s]), 4);
            size_t size = u32(s + 4);
            if (s + 8 + size > end) throw std::runtime_error("TES3 subrecord runs past its record");
            sub.data.assign(bytes.begin() + s + 8, bytes.begin() + s + 8 + size);
            record.subrecords.push_back(std::move(sub));
            s += 8 + size;
        }
        records.push_back(std::move(record));
        p = end;
    }
    return records;
}

}  // namespace tes3
