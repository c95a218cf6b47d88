#include "plugin_summary.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "record_checks.h"

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
// The largest counts first (the smaller key first on a tie), ten of them.
template <typename Key, typename Show>
void printTopCounts(FILE* out, const char* heading, const std::map<Key, size_t>& counts, Show show) {
    std::vector<std::pair<Key, size_t>> list(counts.begin(), counts.end());
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::fprintf(out, "  %s:", heading);
    for (size_t i = 0; i < list.size() && i < 10; ++i)
        std::fprintf(out, "%s %s %zu", i == 0 ? "" : ",", show(list[i].first).c_str(), list[i].second);
    if (list.size() > 10) std::fprintf(out, ", and %zu more", list.size() - 10);
    std::fprintf(out, "\n");
}

// Placed objects per cell and per base (with the editor ID of a static of
// the plugin), and the first ten that lie outside their cell's area.
void printPlacedObjects(FILE* out, const tes4::File& file, const WorldLands& world) {
    std::map<std::pair<int32_t, int32_t>, size_t> byCell;
    std::map<uint32_t, size_t> byBase;
    std::vector<const PlacedObject*> outside;
    for (const PlacedObject& object : world.objects) {
        ++byCell[{object.cellY, object.cellX}];
        ++byBase[object.base];
        if (!object.insideItsCell()) outside.push_back(&object);
    }
    std::fprintf(out, "Placed objects: %zu in %zu cells, %zu outside their cell's area\n", world.objects.size(),
                 byCell.size(), outside.size());
    if (world.objects.empty()) return;
    std::map<uint32_t, std::string> statics;
    for (const tes4::Entry* stat : file.records("STAT")) statics[stat->formId] = editorId(*stat);
    printTopCounts(out, "by cell", byCell, [](const std::pair<int32_t, int32_t>& grid) {
        return "(" + std::to_string(grid.second) + ", " + std::to_string(grid.first) + ")";
    });
    printTopCounts(out, "by base", byBase, [&statics](uint32_t base) {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", base);
        auto found = statics.find(base);
        return found != statics.end() ? std::string(text) + " " + found->second : std::string(text);
    });
    for (size_t i = 0; i < outside.size() && i < 10; ++i)
        std::fprintf(out, "  outside: REFR %08X at (%.0f, %.0f) in cell (%d, %d)\n", outside[i]->formId, outside[i]->x,
                     outside[i]->y, outside[i]->cellX, outside[i]->cellY);
}

struct InteriorCounts {
    std::string editorId;
    size_t persistent = 0, temporary = 0, doors = 0;
};

void countInteriorReferences(const tes4::Entry& children, InteriorCounts& counts) {
    for (const tes4::Entry& group : children.children)
        for (const tes4::Entry& record : group.children) {
            ++(group.groupType == 8 ? counts.persistent : counts.temporary);
            counts.doors += record.find("XTEL") != nullptr;
        }
}

// Every interior cell, in file order, with its references and its doors that lead somewhere.
void collectInteriors(const std::vector<tes4::Entry>& entries, std::vector<InteriorCounts>& interiors) {
    for (const tes4::Entry& entry : entries) {
        if (!entry.isGroup) {
            if (entry.type == "CELL") interiors.push_back({editorId(entry)});
        } else if (entry.groupType == 6 && !interiors.empty()) {
            countInteriorReferences(entry, interiors.back());
        } else {
            collectInteriors(entry.children, interiors);
        }
    }
}

void printInteriors(FILE* out, const tes4::File& file) {
    std::vector<InteriorCounts> interiors;
    for (const tes4::Entry& group : file.groups)
        if (group.labelText() == "CELL") collectInteriors(group.children, interiors);
    size_t references = 0, doors = 0;
    for (const InteriorCounts& cell : interiors) {
        references += cell.persistent + cell.temporary;
        doors += cell.doors;
    }
    std::fprintf(out, "Interiors: %zu cells, %zu references, %zu doors that lead somewhere\n", interiors.size(),
                 references, doors);
    const size_t listed = 20;
    for (size_t i = 0; i < interiors.size() && i < listed; ++i)
        std::fprintf(out, "  %s: %zu persistent, %zu temporary, %zu doors\n", interiors[i].editorId.c_str(),
                     interiors[i].persistent, interiors[i].temporary, interiors[i].doors);
    if (interiors.size() > listed) std::fprintf(out, "  and %zu more\n", interiors.size() - listed);
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
        std::fprintf(out, "World: %zu cells, grid x %d to %d, y %d to %d\n", world.cells, world.minX, world.maxX,
                     world.minY, world.maxY);
    }
    if (!world.lands.empty()) {
        float low = world.lands[0].heights[0], high = low;
        std::set<uint32_t> textures;
        long bases = 0;
        int mostLayers = 0;
        for (const DecodedLand& land : world.lands) {
            auto range = std::minmax_element(land.heights.begin(), land.heights.end());
            low = std::min(low, *range.first);
            high = std::max(high, *range.second);
            for (uint32_t formId : land.textures)
                if (formId != 0) textures.insert(formId);
            bases += land.baseTextures;
            mostLayers = std::max(mostLayers, land.mostLayers);
        }
        std::fprintf(out,
                     "Land: %zu records, heights %.0f to %.0f, %zu land textures, %ld quadrants with a base texture, "
                     "at most %d layers in one\n",
                     world.lands.size(), low, high, textures.size(), bases, mostLayers);
    }
    std::fprintf(out, "NPCs: %zu, placed NPCs: %zu\n", counts["NPC_"], counts["ACHR"]);
    printPlacedObjects(out, file, world);
    printInteriors(out, file);
    std::fprintf(out, "Quests: %zu, stages: %zu\n", counts["QUST"], stages);
}

}  // namespace inspect
