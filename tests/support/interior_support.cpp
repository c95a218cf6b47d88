#include "interior_support.h"

#include <algorithm>

namespace tes3 {

Record interiorCell(std::string_view name, uint32_t flags, const Bytes& extra) {
    Record cell("CELL");
    cell.ztext("NAME", name).sub("DATA", int32s({static_cast<int32_t>(flags | 0x01), 0, 0})).raw(extra);
    return cell;
}

Bytes ambient(std::array<uint8_t, 3> ambientColour, std::array<uint8_t, 3> sunlight, std::array<uint8_t, 3> fog,
              float density) {
    Bytes data;
    for (const auto& colour : {ambientColour, sunlight, fog}) {
        data.insert(data.end(), colour.begin(), colour.end());
        data.push_back(0);
    }
    Bytes tail = floats({density});
    data.insert(data.end(), tail.begin(), tail.end());
    return Record("X").sub("AMBI", data).data();
}

Bytes destination(float x, float y, float z, float rotationZ, std::string_view interior) {
    Record dest("X");
    dest.sub("DODT", floats({x, y, z, 0.0f, 0.0f, rotationZ}));
    if (!interior.empty()) dest.ztext("DNAM", interior);
    return dest.data();
}

}  // namespace tes3

namespace interiors {

namespace {

void collect(const tes4::Entry& group, int32_t block, int32_t subBlock, std::vector<InteriorCell>& cells) {
    for (const tes4::Entry& entry : group.children) {
        if (!entry.isGroup) {
            if (entry.type == "CELL") cells.push_back({&entry, block, subBlock, {}, {}});
        } else if (entry.groupType == 2) {
            collect(entry, static_cast<int32_t>(entry.labelValue()), -1, cells);
        } else if (entry.groupType == 3) {
            collect(entry, block, static_cast<int32_t>(entry.labelValue()), cells);
        } else if (entry.groupType == 6 && !cells.empty()) {
            for (const tes4::Entry& children : entry.children)
                for (const tes4::Entry& record : children.children)
                    (children.groupType == 8 ? cells.back().persistent : cells.back().temporary).push_back(&record);
        }
    }
}

std::string text(const tes4::Subrecord* sub) {
    if (sub == nullptr) return "";
    auto end = std::find(sub->data.begin(), sub->data.end(), 0);
    return std::string(sub->data.begin(), end);
}

}  // namespace

std::string InteriorCell::editorId() const { return text(cell->find("EDID")); }

std::vector<InteriorCell> interiorCells(const tes4::File& file) {
    std::vector<InteriorCell> cells;
    for (const tes4::Entry& group : file.groups)
        if (group.labelText() == "CELL") collect(group, -1, -1, cells);
    return cells;
}

const InteriorCell* interiorNamed(const std::vector<InteriorCell>& cells, const std::string& name) {
    for (const InteriorCell& cell : cells)
        if (text(cell.cell->find("FULL")) == name) return &cell;
    return nullptr;
}

const tes4::Entry* placedAt(const std::vector<const tes4::Entry*>& references, float x, float y) {
    for (const tes4::Entry* reference : references) {
        const tes4::Subrecord* data = reference->find("DATA");
        if (data != nullptr && tes4::f32(data->data, 0) == x && tes4::f32(data->data, 4) == y) return reference;
    }
    return nullptr;
}

uint32_t teleportTarget(const tes4::Entry& door) {
    const tes4::Subrecord* xtel = door.find("XTEL");
    return xtel == nullptr ? 0 : tes4::u32(xtel->data, 0);
}

}  // namespace interiors
