// Writes large, realistic Morrowind plugins for the benchmark and the
// tests: a square block of exterior cells, each followed by its land;
// land textures; NPCs with inventories drawn from the lookup files, placed
// in the cells; a forest in every cell, of the objects objects.dat names;
// interiors, each with two doors linked to two doors of its exterior cell
// and furnished with objects of objects.dat; books, globals and journal
// topics. Deterministic: the same
// arguments give the same bytes. Records are written as they are made, so
// the generator's memory stays small whatever the size.
//
//   landfer-make-big-plugin small|province|province4|master OUTPUT.esp LFDAT_DIR [--enlarge] [--cells-first]
//   landfer-make-big-plugin edits OUTPUT.esp LFDAT_DIR --master-name MASTER.esm
//
// "master" is a master of Morrowind.esm's size (2,500 exterior cells with
// their lands and forests, about 80 MB); "edits" a small plugin naming the
// master MASTER.esm, which edits 50 of its cells (a few references added
// to each, no land of its own), as most mods do.
// The ids come from the lookup files in LFDAT_DIR; --enlarge first grows
// those files to a few thousand lines each (a copy of lfdat/, not the
// repository's own). --cells-first writes every cell before the first land,
// so that every cell waits for its land until the end of the input.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "big/big_land.h"
#include "big/big_lookup_files.h"
#include "big/big_random.h"
#include "tes3_land.h"
#include "tes3_npc.h"

namespace {

struct Size {
    const char* name;
    int cells, npcs, placedNpcs, books, globals, journals, interiors;
    bool isMaster = false;  // no MAST list
};

const Size sizes[] = {
    {"small", 100, 60, 200, 20, 20, 8, 50},
    {"province", 4000, 1500, 6000, 200, 100, 60, 2000},
    {"province4", 16000, 6000, 24000, 800, 400, 240, 8000},
    {"master", 2500, 1500, 3000, 500, 70, 600, 0, true},
};
constexpr int editedCells = 50;

// What stands in an interior: its two doors out and the rest.
constexpr int referencesPerInterior = 60;

constexpr int landTextureCount = 300;
constexpr int enlargedLookupLines = 3000;

const char* const races[] = {"Argonian", "Breton", "Dark Elf", "High Elf", "Imperial", "Khajiit",
                             "Nord",     "Orc",    "Redguard", "Wood Elf", "Dremora"};
const char* const placeNames[] = {"Ald Velothi", "Ashlands Region", "Bitter Coast Region", "Grazelands Region",
                                  "West Gash Region", "Molag Amur Region", "Sheogorad", "Azura's Coast Region",
                                  "Ascadian Isles Region", "Red Mountain Region", "Vivec", "Seyda Neen"};

class PluginFile {
public:
    explicit PluginFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")), path_(path) {
        if (file_ == nullptr) throw std::runtime_error("cannot create " + path);
    }
    ~PluginFile() {
        if (file_ != nullptr) std::fclose(file_);
    }
    void add(const tes3::Record& record) {
        tes3::Bytes bytes = record.bytes();
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
            throw std::runtime_error("cannot write " + path_);
    }
    void close() {
        FILE* file = file_;
        file_ = nullptr;
        if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path_);
    }

private:
    FILE* file_;
    std::string path_;
};

std::string numbered(const char* prefix, int number) {
    char id[64];
    std::snprintf(id, sizeof id, "%s%05d", prefix, number);
    return id;
}

void addGlobals(PluginFile& plugin, const Size& size, big::Random& random) {
    const char types[] = {'s', 'l', 'f'};
    for (int i = 0; i < size.globals; ++i)
        plugin.add(tes3::global(numbered("lf_big_global_", i), types[i % 3], static_cast<float>(random.between(-500, 500))));
}

void addLandTextures(PluginFile& plugin, const big::LookupIds& ids, big::Random& random) {
    for (int i = 0; i < landTextureCount; ++i) {
        std::string file = ids.textureFiles[random.below(static_cast<uint32_t>(ids.textureFiles.size()))];
        if (i % 37 == 5)
            file = "lf\\tx_unknown_" + std::to_string(i) + ".dds";  // not in the lookup file
        else if (i % 11 == 3)
            for (char& c : file) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        plugin.add(tes3::landTexture(numbered("lf_big_ltex_", i), i, file));
    }
}

void addBooks(PluginFile& plugin, const Size& size, big::Random& random) {
    for (int i = 0; i < size.books; ++i) {
        std::string text = "<DIV ALIGN=\"CENTER\">Volume " + std::to_string(i) + "<BR>";
        int paragraphs = random.between(3, 40);
        for (int p = 0; p < paragraphs; ++p)
            text += "The road from Balmora to Caldera climbs past the mines, where the ash storms rarely reach. ";
        plugin.add(tes3::book(numbered("lf_big_book_", i), "A Traveller's Notes " + std::to_string(i), text));
    }
}

tes3::Record npc(int number, const big::LookupIds& ids, big::Random& random) {
    tes3::Record record("NPC_");
    record.ztext("NAME", numbered("lf_big_npc_", number)).ztext("MODL", "base_anim.nif");
    record.ztext("FNAM", "Villager " + std::to_string(number));
    const char* race = races[random.chance(0.02) ? 10 : random.below(10)];
    record.ztext("RNAM", race);
    record.ztext("CNAM", random.chance(0.05) ? std::string("lf_big_unknown_class")
                                             : ids.classes[random.below(static_cast<uint32_t>(ids.classes.size()))]);
    record.ztext("ANAM", "").ztext("BNAM", "b_n_dark elf_m_head_01").ztext("KNAM", "b_n_dark elf_m_hair_01");
    if (random.chance(0.1)) record.ztext("SCRI", random.chance(0.5) ? "nolore" : "lf_big_script");
    if (random.chance(0.3)) {
        record.sub("NPDT", tes3::shortNpdt(static_cast<int16_t>(random.between(1, 50))));
    } else {
        tes3::NpcStats stats;
        stats.level = static_cast<int16_t>(random.between(1, 60));
        for (int8_t& attribute : stats.attributes) attribute = static_cast<int8_t>(random.between(20, 100));
        for (int8_t& skill : stats.skills) skill = static_cast<int8_t>(random.between(5, 100));
        stats.health = static_cast<uint16_t>(random.between(20, 400));
        stats.spellPoints = static_cast<uint16_t>(random.between(0, 300));
        stats.fatigue = static_cast<uint16_t>(random.between(50, 500));
        record.sub("NPDT", tes3::longNpdt(stats));
    }
    record.sub("FLAG", tes3::npcFlags(static_cast<uint8_t>(random.below(8))));
    int items = random.between(5, 30);
    for (int i = 0; i < items; ++i) {
        // One item in ten has no counterpart (spears, thrown weapons, ...).
        std::string item = random.chance(0.1) ? "lf_big_spear_" + std::to_string(random.below(50))
                                              : ids.items[random.below(static_cast<uint32_t>(ids.items.size()))];
        record.sub("NPCO", tes3::inventoryEntry(random.chance(0.1) ? -random.between(1, 5) : random.between(1, 20), item));
    }
    if (random.chance(0.3)) record.sub("NPCS", tes3::Bytes(32, 0));
    if (!random.chance(0.02))
        record.sub("AIDT", tes3::aiData(static_cast<uint8_t>(random.between(0, 100)), 30,
                                        static_cast<uint8_t>(random.between(0, 100)),
                                        static_cast<uint8_t>(random.between(0, 100))));
    return record;
}

struct Placement {
    float x, y, z;
    float rotation[3] = {0.0f, 0.0f, 1.5f};
    float scale = 1.0f;
};

// A reference placed in the world.
tes3::Bytes placedReference(int32_t number, const std::string& baseId, const Placement& at) {
    tes3::Record reference("FRMR");
    reference.sub("FRMR", tes3::int32s({number})).ztext("NAME", baseId);
    reference.sub("XSCL", tes3::floats({at.scale}));
    reference.sub("DATA", tes3::floats({at.x, at.y, at.z, at.rotation[0], at.rotation[1], at.rotation[2]}));
    return reference.data();
}

// A place in the cell at (gridX, gridY), anywhere in its 8192 x 8192 units.
Placement inCell(int32_t gridX, int32_t gridY, big::Random& random) {
    float x = static_cast<float>(gridX * 8192 + random.between(0, 8191)) + 0.25f;
    float y = static_cast<float>(gridY * 8192 + random.between(0, 8191)) + 0.5f;
    return {x, y, 200.0f};
}

// An id for a line of objects.dat: a prefix gets a number of its family,
// and one id in eight is written in capitals (ids match in any case).
std::string objectId(const std::string& line, big::Random& random) {
    std::string id = line;
    if (!id.empty() && id.back() == '*') {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", static_cast<int>(random.below(20)) + 1);
        id.pop_back();
        id += number;
    }
    if (random.chance(0.125))
        for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return id;
}

// A forest: trees, shrubs and rocks that objects.dat names, standing on the
// land (sunk up to 16 units, as on a slope), each with its own scale (0.5 to 2.0, as Morrowind keeps it) and
// turn, a few of them tilted. A cell draws from a run of neighbouring lines,
// so that its forest is mostly of one region.
void addForest(tes3::Record& cell, int32_t gridX, int32_t gridY, const big::LookupIds& ids, big::Random& random,
               int32_t& reference) {
    if (ids.objects.empty()) return;
    uint32_t lines = static_cast<uint32_t>(ids.objects.size()), first = random.below(lines);
    uint32_t run = std::min<uint32_t>(lines, 24);
    int trees = random.between(24, 48);
    for (int n = 0; n < trees; ++n) {
        Placement at = inCell(gridX, gridY, random);
        at.z = big::groundHeight(at.x, at.y) - static_cast<float>(random.between(0, 16));
        at.scale = random.chance(0.3) ? 1.0f : static_cast<float>(random.between(50, 200)) / 100.0f;
        at.rotation[2] = static_cast<float>(random.between(0, 6283)) / 1000.0f;
        if (random.chance(0.1)) {
            at.rotation[0] = static_cast<float>(random.between(-100, 100)) / 1000.0f;
            at.rotation[1] = static_cast<float>(random.between(-100, 100)) / 1000.0f;
        }
        std::string id = objectId(ids.objects[(first + random.below(run)) % lines], random);
        cell.raw(placedReference(reference++, id, at));
    }
}

// A door at `at` that leads to `to`, in the interior named or in the exterior.
tes3::Bytes doorReference(int32_t number, const std::string& id, const Placement& at, const Placement& to,
                          const std::string& interior) {
    tes3::Record reference("FRMR");
    reference.sub("FRMR", tes3::int32s({number})).ztext("NAME", id);
    reference.sub("DODT", tes3::floats({to.x, to.y, to.z, 0.0f, 0.0f, to.rotation[2]}));
    if (!interior.empty()) reference.ztext("DNAM", interior);
    reference.sub("DATA", tes3::floats({at.x, at.y, at.z, 0.0f, 0.0f, at.rotation[2]}));
    return reference.data();
}

// A house of the exterior cell: two doors in its walls, and inside, two
// doors back and the furniture; the doors lead to the point before the other.
tes3::Record addHouse(tes3::Record& cell, int32_t gridX, int32_t gridY, int number, const big::LookupIds& ids,
                      big::Random& random, int32_t& reference) {
    std::string name = "lf big house " + std::to_string(number);
    tes3::Record house = tes3::cell(name, 0, 0, 0x01);
    for (int d = 0; d < 2; ++d) {
        Placement outside = inCell(gridX, gridY, random);
        outside.z = big::groundHeight(outside.x, outside.y);
        Placement inside{0.0f, 0.0f, 0.0f};
        inside.x = d == 0 ? -600.0f : 600.0f;
        inside.y = static_cast<float>(random.between(-400, 400));
        Placement arriveOutside = outside, arriveInside = inside;
        arriveOutside.y -= 100.0f;
        arriveInside.x += d == 0 ? 100.0f : -100.0f;
        cell.raw(doorReference(reference++, "ex_common_door_01", outside, arriveInside, name));
        house.raw(doorReference(reference++, "in_c_door_wood_square", inside, arriveOutside, ""));
    }
    for (int n = 2; n < referencesPerInterior && !ids.objects.empty(); ++n) {
        Placement at{0.0f, 0.0f, 0.0f};
        at.x = static_cast<float>(random.between(-500, 500));
        at.y = static_cast<float>(random.between(-500, 500));
        at.rotation[2] = static_cast<float>(random.between(0, 6283)) / 1000.0f;
        house.raw(placedReference(reference++, objectId(ids.objects[random.below(static_cast<uint32_t>(ids.objects.size()))], random), at));
    }
    return house;
}

void addCells(PluginFile& plugin, const Size& size, const big::LookupIds& ids, big::Random& random, bool cellsFirst) {
    int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(size.cells))));
    int32_t reference = 1;
    for (int i = 0; i < size.cells; ++i) {
        int32_t gridX = i % side - side / 2, gridY = i / side - side / 2;
        std::string name = random.chance(0.15) ? placeNames[random.below(12)] : "";
        tes3::Record cell = tes3::cell(name, gridX, gridY);
        cell.ztext("RGNN", "lf big region");
        // The placed NPCs spread evenly over the cells, with two buildings
        // (no stand-in) among them, then the cell's forest.
        int npcs = size.placedNpcs * (i + 1) / size.cells - size.placedNpcs * i / size.cells;
        for (int n = 0; n < npcs + 2; ++n) {
            Placement at = inCell(gridX, gridY, random);
            std::string base = n < npcs ? numbered("lf_big_npc_", random.below(static_cast<uint32_t>(size.npcs)))
                                        : "ex_common_building_0" + std::to_string(n - npcs + 1);
            cell.raw(placedReference(reference++, base, at));
        }
        addForest(cell, gridX, gridY, ids, random, reference);
        // The houses spread evenly over the cells.
        int houses = size.interiors * (i + 1) / size.cells - size.interiors * i / size.cells;
        std::vector<tes3::Record> interiors;
        for (int h = 0; h < houses; ++h)
            interiors.push_back(addHouse(cell, gridX, gridY, size.interiors * i / size.cells + h, ids, random, reference));
        plugin.add(cell);
        if (!cellsFirst) plugin.add(big::bigLand(gridX, gridY, landTextureCount));
        for (const tes3::Record& house : interiors) plugin.add(house);
        if (i % 97 == 0) plugin.add(tes3::cell("Balmora, Inn " + std::to_string(i), 0, 0, 1));  // an interior
    }
    if (!cellsFirst) return;
    for (int i = 0; i < size.cells; ++i) plugin.add(big::bigLand(i % side - side / 2, i / side - side / 2, landTextureCount));
}

// A small plugin editing cells of the master "master" made: every 50th of
// its cells, which get a few references of their own and keep the master's land.
void addEdits(PluginFile& plugin, const big::LookupIds& ids, big::Random& random) {
    const Size& master = sizes[3];
    int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(master.cells))));
    int32_t reference = 1;
    for (int e = 0; e < editedCells; ++e) {
        int i = e * (master.cells / editedCells);
        int32_t gridX = i % side - side / 2, gridY = i / side - side / 2;
        tes3::Record cell = tes3::cell("", gridX, gridY);
        for (int n = 0; n < 5; ++n) {
            std::string id = objectId(ids.objects[random.below(static_cast<uint32_t>(ids.objects.size()))], random);
            cell.raw(placedReference(reference++, id, inCell(gridX, gridY, random)));
        }
        plugin.add(cell);
    }
}

void addJournals(PluginFile& plugin, const Size& size, big::Random& random) {
    for (int i = 0; i < size.journals; ++i) {
        plugin.add(tes3::topic(numbered("lf_big_quest_", i), 4));
        int stages = random.between(2, 12);
        for (int s = 0; s < stages; ++s)
            plugin.add(tes3::response(std::to_string(i * 100 + s), "I have been asked to find the missing caravan.",
                                      10 * s));
        plugin.add(tes3::topic(numbered("lf_big_topic_", i), 0));
        plugin.add(tes3::response(std::to_string(900000 + i), "Ask someone else.", 0));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    bool enlarge = false, cellsFirst = false, badOption = false;
    std::string masterName;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--enlarge") == 0)
            enlarge = true;
        else if (std::strcmp(argv[i], "--cells-first") == 0)
            cellsFirst = true;
        else if (std::strcmp(argv[i], "--master-name") == 0 && i + 1 < argc)
            masterName = argv[++i];
        else
            badOption = true;
    }
    const Size* size = nullptr;
    for (const Size& candidate : sizes)
        if (argc >= 2 && std::strcmp(argv[1], candidate.name) == 0) size = &candidate;
    bool edits = argc >= 2 && std::strcmp(argv[1], "edits") == 0;
    if ((size == nullptr && !edits) || (edits && masterName.empty()) || argc < 4 || badOption) {
        std::fprintf(stderr,
                     "Usage: %s small|province|province4|master OUTPUT.esp LFDAT_DIR [--enlarge] [--cells-first]\n"
                     "       %s edits OUTPUT.esp LFDAT_DIR --master-name MASTER.esm\n",
                     argv[0], argv[0]);
        return 1;
    }
    try {
        if (enlarge) big::enlargeLookupFiles(argv[3], enlargedLookupLines);
        big::LookupIds ids = big::readLookupIds(argv[3]);
        big::Random random(0x5052564Eull);
        PluginFile plugin(argv[2]);
        if (edits) {
            plugin.add(tes3::headerRecord("Landfer benchmark", "edits", {masterName}));
            addEdits(plugin, ids, random);
            plugin.close();
            return 0;
        }
        plugin.add(tes3::headerRecord("Landfer benchmark", size->name,
                                      size->isMaster ? std::vector<std::string>{} : std::vector<std::string>{"Morrowind.esm"}));
        addGlobals(plugin, *size, random);
        addLandTextures(plugin, ids, random);
        addBooks(plugin, *size, random);
        for (int i = 0; i < size->npcs; ++i) plugin.add(npc(i, ids, random));
        addCells(plugin, *size, ids, random, cellsFirst);
        addJournals(plugin, *size, random);
        plugin.close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
