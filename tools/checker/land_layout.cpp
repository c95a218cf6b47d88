#include "land_layout.h"

#include <cstdint>

namespace inspect {

namespace {

constexpr int maxLayers = 8;  // ATXT layers 0 to 7; the BTXT is the ninth texture

// One layer subrecord (BTXT or ATXT): a FormID, the quadrant, an unused byte, the layer number.
std::string layerHeaderProblem(const tes4::Subrecord& layer) {
    if (layer.data.size() != 8) return "LAND with a " + layer.type + " that is not 8 bytes";
    if (layer.data[4] > 3) return "LAND with a " + layer.type + " of quadrant above 3";
    return "";
}

// The texture layers from subrecord `i` on.
std::string layersProblem(const std::vector<tes4::Subrecord>& subs, size_t i) {
    int quadrant = -1;
    int nextLayer = 0;
    while (i < subs.size()) {
        const tes4::Subrecord& sub = subs[i];
        if (sub.type != "BTXT" && sub.type != "ATXT")
            return "LAND with a " + sub.type + " where a BTXT or ATXT belongs";
        if (std::string problem = layerHeaderProblem(sub); !problem.empty()) return problem;
        int here = sub.data[4];
        std::string quadrantText = "quadrant " + std::to_string(here);
        if (sub.type == "BTXT") {
            if (here == quadrant) return "LAND with a second BTXT, or a BTXT after the ATXT layers, in " + quadrantText;
            if (here < quadrant) return "LAND with the BTXT of " + quadrantText + " after a later quadrant's layers";
            quadrant = here;
            nextLayer = 0;
            ++i;
            continue;
        }
        if (here != quadrant)
            return "LAND with ATXT layers in " + quadrantText +
                   (here < quadrant ? " after a later quadrant's layers"
                                    : " without a base texture (BTXT) before them");
        if (tes4::u32(sub.data, 0) == 0) return "LAND with an ATXT of FormID 0 in " + quadrantText;
        int layer = tes4::u16(sub.data, 6);
        if (nextLayer == maxLayers) return "LAND with more than eight ATXT layers in " + quadrantText;
        if (layer != nextLayer)
            return "LAND with ATXT layer " + std::to_string(layer) + " where layer " + std::to_string(nextLayer) +
                   " belongs in " + quadrantText;
        ++nextLayer;
        if (i + 1 >= subs.size() || subs[i + 1].type != "VTXT" || subs[i + 1].data.size() % 8 != 0 ||
            subs[i + 1].data.empty())
            return "LAND with an ATXT not followed by its VTXT";
        i += 2;
    }
    return "";
}

}  // namespace

std::string landLayoutProblem(const tes4::Entry& land) {
    const auto& subs = land.subrecords;
    const std::pair<const char*, size_t> head[] = {{"DATA", 4}, {"VNML", 3267}, {"VHGT", 1096}};
    size_t i = 0;
    for (const auto& expected : head) {
        if (i >= subs.size() || subs[i].type != expected.first || subs[i].data.size() != expected.second)
            return std::string("LAND without its ") + std::to_string(expected.second) + "-byte " + expected.first;
        ++i;
    }
    if (i < subs.size() && subs[i].type == "VCLR") {
        if (subs[i].data.size() != 3267) return "LAND with a VCLR that is not 3267 bytes";
        ++i;
    }
    return layersProblem(subs, i);
}

}  // namespace inspect
