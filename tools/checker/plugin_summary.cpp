#include "plugin_summary.h"

#include <algorithm>
#include <map>
#include <set>

namespace inspect {

namespace {
void countRecords(const std::vector<tes4::Entry>& entries, std::map<std::string, size_t>& counts, size_t& stages) {
    for (const tes4::Entry& entry : entries) {
        if (entry.isGroup) {
            countRecords(entry.children, counts, stages);
            continue;
        }
        ++counts[entry.type];
        if (entry.type == "QUST")
            for (const tes4::Subrecord& sub : entry.subrecords) stages += sub.type == "INDX";
    }
}
}  // namespace

void printSummary(FILE* out, const tes4::File& file, const WorldLands& world) {
    std::map<std::string, size_t> counts;
    size_t stages = 0;
    countRecords(file.groups, counts, stages);
    std::fprintf(out, "Size: %zu bytes, %zu top groups\nRecords:", file.size, file.groups.size());
    if (counts.empty()) std::fprintf(out, " none");
    for (const auto& count : counts) std::fprintf(out, " %s %zu", count.first.c_str(), count.second);
    std::fprintf(out, "\n");

    if (world.empty()) {
        std::fprintf(out, "World: no cells\n");
    } else {
        std::fprintf(out, "World: %zu cells, grid x %d to %d, y %d to %d\n", counts["CELL"], world.minX, world.maxX,
                     world.minY, world.maxY);
    }
    if (!world.lands.empty()) {
        float low = world.lands[0].heights[0], high = low;
        std::set<uint32_t> textures;
        for (const DecodedLand& land : world.lands) {
            auto range = std::minmax_element(land.heights.begin(), land.heights.end());
            low = std::min(low, *range.first);
            high = std::max(high, *range.second);
            for (uint32_t formId : land.textures)
                if (formId != 0) textures.insert(formId);
        }
        std::fprintf(out, "Land: %zu records, heights %.0f to %.0f, %zu land textures\n", world.lands.size(), low,
                     high, textures.size());
    }
    std::fprintf(out, "NPCs: %zu, placed NPCs: %zu\nQuests: %zu, stages: %zu\n", counts["NPC_"], counts["ACHR"],
                 counts["QUST"], stages);
}

}  // namespace inspect
