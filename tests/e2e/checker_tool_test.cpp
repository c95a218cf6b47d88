// landfer-inspect: it passes sound files and catches broken ones.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "address_space_limit.h"
#include "e2e_run.h"
#include "test_helpers.h"
#include "tes3_dialogue.h"
#include "tes3_land.h"

using support::putU32;
using e2e::RunResult;
using e2e::WorkDir;
using tes4::Bytes;

namespace {

void appendU32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void appendText(Bytes& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

// A GRUP NPC_ with one compressed NPC_ record holding an EDID (and then
// `zeros` 0 bytes), behind the header of a real output.
Bytes pluginWithCompressedNpc(const Bytes& header, size_t zeros = 0) {
    Bytes data;
    appendText(data, "EDID");
    data.push_back(6);
    data.push_back(0);
    appendText(data, std::string("guard\0", 6));
    data.resize(data.size() + zeros, 0);
    Bytes stream(compressBound(data.size()));
    uLongf length = stream.size();
    compress2(stream.data(), &length, data.data(), data.size(), 9);
    stream.resize(length);

    Bytes bytes(header.begin(), header.begin() + 85);
    putU32(bytes, 30, 2);  // the group and its record
    appendText(bytes, "GRUP");
    appendU32(bytes, static_cast<uint32_t>(20 + 20 + 4 + stream.size()));
    appendText(bytes, "NPC_");
    appendU32(bytes, 0);
    appendU32(bytes, 0x2F04);
    appendText(bytes, "NPC_");
    appendU32(bytes, static_cast<uint32_t>(4 + stream.size()));
    appendU32(bytes, 0x00040000);
    appendU32(bytes, 0x011E8480);
    appendU32(bytes, 0x2F04);
    appendU32(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return bytes;
}

}  // namespace

TEST(Inspector, SoundOutputPassesAndIsSummarised) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::global("a", 's', 1)).add(tes3::global("b", 's', 2)).add(tes3::book("bk", "Book", "text"));
    ASSERT_EQ(work.convert(plugin).status, 0);
    RunResult verdict = work.inspect({"LANDFER.ESP"});
    EXPECT_EQ(verdict.status, 0) << verdict.out;
    EXPECT_NE(verdict.out.find("Records: BOOK 1 GLOB 2\n"), std::string::npos) << verdict.out;
    EXPECT_NE(verdict.out.find("LANDFER.ESP: sound\n"), std::string::npos);
    // No land to draw: the images are refused, not faked.
    RunResult images = work.inspect({"LANDFER.ESP", "--heightmap", "h.png"});
    EXPECT_EQ(images.status, 1);
    EXPECT_EQ(images.err, "No image drawn: the plugin has no land in its world\n");
    EXPECT_FALSE(work.exists("h.png"));
}

TEST(Inspector, CatchesACorruptedGroupSize) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin().add(tes3::global("a", 's', 1)).add(tes3::book("b", "B", "x"))).status, 0);
    Bytes bytes = work.outputBytes();
    putU32(bytes, 85 + 4, tes4::u32(bytes, 85 + 4) + 1);  // the GLOB group claims one byte more
    work.writeFile("broken.esp", bytes);
    RunResult verdict = work.inspect({"broken.esp"});
    EXPECT_EQ(verdict.status, 1);
    EXPECT_NE(verdict.out.find("broken.esp: PROBLEM at byte "), std::string::npos) << verdict.out;
}

TEST(Inspector, CatchesATruncatedCompressedRecord) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    Bytes sound = pluginWithCompressedNpc(work.outputBytes());
    work.writeFile("sound.esp", sound);
    EXPECT_EQ(work.inspect({"sound.esp"}).status, 0);

    // Cut the stream short while the sizes still add up.
    Bytes cut = sound;
    cut.resize(cut.size() - 3);
    putU32(cut, 85 + 4, tes4::u32(cut, 85 + 4) - 3);
    putU32(cut, 85 + 20 + 4, tes4::u32(cut, 85 + 20 + 4) - 3);
    work.writeFile("cut.esp", cut);
    RunResult verdict = work.inspect({"cut.esp"});
    EXPECT_EQ(verdict.status, 1);
    EXPECT_NE(verdict.out.find("PROBLEM at byte 105: compressed NPC_ does not inflate"), std::string::npos)
        << verdict.out;
}

TEST(Inspector, CatchesADuplicateFormId) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin().add(tes3::global("a", 's', 1)).add(tes3::global("b", 's', 2))).status, 0);
    Bytes bytes = work.outputBytes();
    size_t second = 85 + 20 + 45;  // the second GLOB record
    ASSERT_EQ(std::string(bytes.begin() + second, bytes.begin() + second + 4), "GLOB");
    putU32(bytes, second + 12, 0x011E8480);
    work.writeFile("twice.esp", bytes);
    RunResult verdict = work.inspect({"twice.esp"});
    EXPECT_EQ(verdict.status, 1);
    EXPECT_NE(verdict.out.find("twice.esp: PROBLEM at byte 150: FormID 011E8480 is used twice"), std::string::npos)
        << verdict.out;
}

namespace {

// A hand-made TES4 file: records and groups as a tree, the header's count
// made exact unless a test wants otherwise.
struct Node {
    bool isGroup = false;
    std::string type;  // record type, or the top group's label
    uint32_t label = 0;
    uint32_t groupType = 0;
    uint32_t formId = 0;
    uint32_t flags = 0;
    Bytes data;
    std::vector<Node> children;
};

const uint32_t persistent = 0x400;

Node record(const std::string& type, uint32_t formId, const Bytes& data, uint32_t flags = 0) {
    Node node;
    node.type = type;
    node.formId = formId;
    node.data = data;
    node.flags = flags;
    return node;
}

Node group(uint32_t groupType, uint32_t label, std::vector<Node> children, const std::string& topLabel = "") {
    Node node;
    node.isGroup = true;
    node.type = topLabel;
    node.groupType = groupType;
    node.label = label;
    node.children = std::move(children);
    return node;
}

void appendSubrecord(Bytes& bytes, const std::string& type, const Bytes& data) {
    appendText(bytes, type);
    bytes.push_back(static_cast<uint8_t>(data.size()));
    bytes.push_back(static_cast<uint8_t>(data.size() >> 8));
    bytes.insert(bytes.end(), data.begin(), data.end());
}

// A FormID or another 32-bit word.
Bytes word(uint32_t value) { return tes3::int32s({static_cast<int32_t>(value)}); }
using tes3::floats;

Bytes text(const std::string& value) { return Bytes(value.c_str(), value.c_str() + value.size() + 1); }

// A cell at an Oblivion grid, with a DATA of the given size (and value).
Node cellAt(uint32_t formId, int32_t x, int32_t y, size_t dataSize = 1, uint32_t flags = 0, uint8_t water = 0) {
    Bytes data;
    appendSubrecord(data, "DATA", Bytes(dataSize, water));
    appendSubrecord(data, "XCLC", tes3::int32s({x, y}));
    return record("CELL", formId, data, flags);
}

// An NPC of the master file placed in the world.
Node placedNpc(uint32_t formId, uint32_t flags = persistent) {
    Bytes data;
    appendSubrecord(data, "NAME", Bytes{7, 0, 0, 0});
    appendSubrecord(data, "DATA", Bytes(24, 0));
    return record("ACHR", formId, data, flags);
}

const uint32_t doorMarker = 0x00000001;  // a STAT of Oblivion.esm

// A placed object of a base at (x, y).
Node placedObject(uint32_t formId, uint32_t base, float x, float y, uint32_t flags = 0) {
    Bytes data;
    appendSubrecord(data, "NAME", word(base));
    appendSubrecord(data, "XSCL", floats({1.5f}));
    appendSubrecord(data, "DATA", floats({x, y, 0, 0, 0, 0}));
    return record("REFR", formId, data, flags);
}

// A LAND: DATA, VNML, VHGT, then these layer subrecords.
Node land(uint32_t formId, const Bytes& layers = Bytes()) {
    Bytes data;
    appendSubrecord(data, "DATA", Bytes{0x1F, 0, 0, 0});
    appendSubrecord(data, "VNML", Bytes(3267, 0));
    appendSubrecord(data, "VHGT", Bytes(1096, 0));
    data.insert(data.end(), layers.begin(), layers.end());
    return record("LAND", formId, data);
}

// A BTXT or ATXT (with a VTXT of one vertex) of a texture, quadrant and layer.
Bytes layer(const char* type, uint32_t texture, uint8_t quadrant, uint16_t number) {
    Bytes bytes;
    appendSubrecord(bytes, type, Bytes{static_cast<uint8_t>(texture), static_cast<uint8_t>(texture >> 8),
                                        static_cast<uint8_t>(texture >> 16), static_cast<uint8_t>(texture >> 24),
                                        quadrant, 0x79, static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8)});
    if (std::string(type) == "ATXT") appendSubrecord(bytes, "VTXT", Bytes{5, 0, 0, 0, 0, 0, 0x80, 0x3F});
    return bytes;
}

// Quadrant 0's base and its layers with these numbers.
Bytes layers(std::initializer_list<uint16_t> numbers, uint32_t texture = 0x0A) {
    Bytes bytes = layer("BTXT", 0x0B, 0, 0);
    for (uint16_t number : numbers) {
        Bytes one = layer("ATXT", texture, 0, number);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

uint32_t gridLabel(int32_t x, int32_t y) { return (static_cast<uint32_t>(x) << 16) | (static_cast<uint16_t>(y)); }

size_t countEntries(const std::vector<Node>& nodes) {
    size_t count = 0;
    for (const Node& node : nodes) count += 1 + countEntries(node.children);
    return count;
}

void encode(const Node& node, Bytes& out) {
    size_t start = out.size();
    if (!node.isGroup) {
        appendText(out, node.type);
        appendU32(out, static_cast<uint32_t>(node.data.size()));
        appendU32(out, node.flags);
        appendU32(out, node.formId);
        appendU32(out, 0x2F04);
        out.insert(out.end(), node.data.begin(), node.data.end());
        return;
    }
    appendText(out, "GRUP");
    appendU32(out, 0);
    if (node.groupType == 0)
        appendText(out, node.type);
    else
        appendU32(out, node.label);
    appendU32(out, node.groupType);
    appendU32(out, 0x2F04);
    for (const Node& child : node.children) encode(child, out);
    putU32(out, start + 4, static_cast<uint32_t>(out.size() - start));
}

Bytes pluginOf(const Bytes& header, const std::vector<Node>& groups, long countAdjustment = 0) {
    Bytes bytes(header.begin(), header.begin() + 85);
    putU32(bytes, 30, static_cast<uint32_t>(static_cast<long>(countEntries(groups)) + countAdjustment));
    for (const Node& node : groups) encode(node, bytes);
    return bytes;
}

const uint32_t worldId = 0x010008FF;

// The grids of the exterior cells (those without the persistent flag) among the nodes.
void cellGrids(const std::vector<Node>& nodes, std::vector<std::pair<int32_t, int32_t>>& grids) {
    for (const Node& node : nodes) {
        if (!node.isGroup && node.type == "CELL" && (node.flags & persistent) == 0)
            grids.push_back({static_cast<int32_t>(tes4::u32(node.data, 13)), static_cast<int32_t>(tes4::u32(node.data, 17))});
        cellGrids(node.children, grids);
    }
}

// The world top group holding these children, its bounds those of their cells.
Node worldOf(std::vector<Node> children) {
    std::vector<std::pair<int32_t, int32_t>> grids;
    cellGrids(children, grids);
    int32_t minX = 0, minY = 0, maxX = -1, maxY = -1;
    for (size_t i = 0; i < grids.size(); ++i) {
        minX = i == 0 ? grids[i].first : std::min(minX, grids[i].first);
        maxX = i == 0 ? grids[i].first : std::max(maxX, grids[i].first);
        minY = i == 0 ? grids[i].second : std::min(minY, grids[i].second);
        maxY = i == 0 ? grids[i].second : std::max(maxY, grids[i].second);
    }
    Bytes worldData;
    appendSubrecord(worldData, "EDID", Bytes{'W', 0});
    appendSubrecord(worldData, "NAM0", floats({4096.0f * minX, 4096.0f * minY}));
    appendSubrecord(worldData, "NAM9", floats({4096.0f * (maxX + 1), 4096.0f * (maxY + 1)}));
    return group(0, 0, {record("WRLD", worldId, worldData), group(1, worldId, std::move(children))}, "WRLD");
}

// The world's persistent cell and its children, with these placed NPCs.
std::vector<Node> persistentCell(uint32_t cellId, std::vector<Node> npcs) {
    return {cellAt(cellId, 0, 0, 1, persistent, 2), group(6, cellId, {group(8, cellId, std::move(npcs))})};
}

// One cell at (x, y) in its block and sub-block, with its land and an object placed at its centre.
Node blockWithCell(uint32_t cellId, int32_t x, int32_t y) {
    auto floorDiv = [](int32_t v, int32_t d) { return v >= 0 ? v / d : -((-v + d - 1) / d); };
    Node temporary = group(9, cellId, {land(cellId + 1, layers({0, 1})),
                                       placedObject(cellId + 2, doorMarker, 4096.0f * x + 2048, 4096.0f * y + 2048)});
    return group(4, gridLabel(floorDiv(x, 32), floorDiv(y, 32)),
                 {group(5, gridLabel(floorDiv(x, 8), floorDiv(y, 8)), {cellAt(cellId, x, y), group(6, cellId, {temporary})})});
}

// A world of placed NPCs in its persistent cell, one cell at (x, y) and these extra world children.
Node worldWith(int32_t x, int32_t y, std::vector<Node> more = {}) {
    std::vector<Node> children = persistentCell(0x01000100, {placedNpc(0x01000101), placedNpc(0x01000102)});
    children.push_back(blockWithCell(0x01000010, x, y));
    for (Node& node : more) children.push_back(std::move(node));
    return worldOf(std::move(children));
}

// Gives the world block's one cell a temporary group of these records.
Node withTemporary(Node world, std::vector<Node> records) {
    Node& subBlock = world.children[1].children.back().children[0];
    subBlock.children[1].children[0].children = std::move(records);
    return world;
}

Node statics(std::vector<Node> records) { return group(0, 0, std::move(records), "STAT"); }

Node staticRecord(uint32_t formId, const std::string& editorId, bool withModel = true) {
    Bytes data;
    appendSubrecord(data, "EDID", text(editorId));
    if (withModel) appendSubrecord(data, "MODL", text("morrowind\\f\\tree.nif"));
    return record("STAT", formId, data);
}

// What the inspector says of the bytes: "sound", or its problem.
struct Verdicts {
    const WorkDir& work;
    std::string operator()(const Bytes& bytes, std::string* out = nullptr) const {
        work.writeFile("made.esp", bytes);
        RunResult result = work.inspect({"made.esp"});
        if (out != nullptr) *out = result.out;
        if (result.status == 0) return "sound";
        size_t problem = result.out.find("PROBLEM");
        return problem == std::string::npos ? result.out : result.out.substr(problem);
    }
};

}  // namespace

TEST(Inspector, AWorldAsOblivionsToolsLayItOutIsSoundAndSummarised) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    const Bytes header = work.outputBytes();
    Verdicts verdict{work};
    // Blocks (1, -1) and (0, 0), by (Y, X); cells in the sub-blocks of their grids; a static of
    // the plugin placed, and an object outside its cell's area.
    Node world = worldWith(40, -3, {blockWithCell(0x01000020, -1, -1 + 8)});
    world.children[1].children[2].children[0].children[1].children[0].children.push_back(
        placedObject(0x01000030, 0x01000040, 4096.0f * 41, -3.0f * 4096));
    std::string out;
    EXPECT_EQ(verdict(pluginOf(header, {statics({staticRecord(0x01000040, "tree")}), world}), &out), "sound");
    EXPECT_NE(out.find("World: 2 cells, grid x -1 to 40, y -3 to 7\n"), std::string::npos) << out;
    EXPECT_NE(out.find("NPCs: 0, placed NPCs: 2\n"
                       "Placed objects: 3 in 2 cells, 1 outside their cell's area\n"
                       "  by cell: (40, -3) 2, (-1, 7) 1\n"
                       "  by base: 00000001 2, 01000040 tree 1\n"
                       "  outside: REFR 01000030 at (167936, -12288) in cell (40, -3)\n"),
              std::string::npos)
        << out;
    // The heightmap of that world, with its objects marked (as the unit tests check pixel by pixel).
    RunResult drawn = work.inspect({"made.esp", "--heightmap", "h.png"});
    EXPECT_EQ(drawn.status, 0) << drawn.out << drawn.err;
    EXPECT_TRUE(work.exists("h.png"));
    // Without placed NPCs there is no persistent cell; the bounds leave it out when there is one.
    EXPECT_EQ(verdict(pluginOf(header, {worldOf({blockWithCell(0x01000010, 3, 5)})})), "sound");
    EXPECT_EQ(verdict(pluginOf(header, {worldWith(3, 5)})), "sound");
}

namespace {

struct Case {
    const char* what;
    Bytes bytes;
    std::string problem;
};

const uint32_t cell = 0x01000010;
const uint32_t persistentId = 0x01000100;

Bytes globWithEditorId(char id) {
    Bytes glob;
    appendSubrecord(glob, "EDID", Bytes{static_cast<uint8_t>(id), 0});
    return glob;
}

// Groups, blocks, sub-blocks and cells.
std::vector<Case> layoutCases(const Bytes& header) {
    Bytes glob = globWithEditorId('g');
    Node oldWorld = worldOf({});
    oldWorld.children[1].children = {cellAt(cell, 0, 0, 0), group(6, 0, {group(9, 0, {})})};
    Node twoChildren = worldWith(3, 3);
    twoChildren.children[1].children[2].children[0].children.push_back(group(6, cell, {group(9, cell, {land(cell + 7)})}));
    Node oldPlacedNpcs = worldOf({blockWithCell(cell, 3, 3)});
    Node& oldChildren = oldPlacedNpcs.children[1].children[0].children[0].children[1];
    oldChildren.children.insert(oldChildren.children.begin(), group(8, cell, {placedNpc(cell + 6, 0)}));
    Node cellsOutOfOrder = worldWith(3, 3);
    cellsOutOfOrder.children[1].children[2].children[0].children.push_back(cellAt(cell - 1, 4, 4));
    Node shortData = worldWith(3, 3);
    shortData.children[1].children[2].children[0].children[0] = cellAt(cell, 3, 3, 0);
    return {
        {"the old layout", pluginOf(header, {oldWorld}),
         "CELL record without the Persistent flag (0x400) where an exterior cell block belongs"},
        {"a cell without flags", pluginOf(header, {shortData}), "cell without its 1-byte DATA"},
        {"a cell in another sub-block", pluginOf(header, {worldOf({group(4, 0, {group(5, gridLabel(1, 0), {cellAt(cell, 3, 3)})})})}),
         "cell at (3, 3) in sub-block (1, 0)"},
        {"a sub-block in another block", pluginOf(header, {worldOf({group(4, 0, {group(5, gridLabel(4, 0), {cellAt(cell, 32, 3)})})})}),
         "sub-block (4, 0) in block (0, 0)"},
        {"blocks out of order", pluginOf(header, {worldOf({blockWithCell(cell, 3, 3), blockWithCell(cell + 8, 3, -40)})}),
         "block (0, -2) after block (0, 0)"},
        {"cells out of order", pluginOf(header, {cellsOutOfOrder}), "cell 0100000F after cell 01000010"},
        {"two children groups", pluginOf(header, {twoChildren}), "a second children group for cell 01000010"},
        {"placed NPCs in an exterior cell (the old form)", pluginOf(header, {oldPlacedNpcs}),
         "persistent children group in an exterior cell: placed NPCs stand in the world's persistent cell"},
        {"two cells on one grid", pluginOf(header, {worldOf({group(4, 0, {group(5, 0, {cellAt(cell, 3, 3), cellAt(cell + 1, 3, 3)})})})}),
         "a second cell at (3, 3)"},
        {"a type again", pluginOf(header, {group(0, 0, {record("GLOB", 1, glob)}, "GLOB"), group(0, 0, {record("GLOB", 2, glob)}, "GLOB")}),
         "top group GLOB again"},
        {"types out of order", pluginOf(header, {group(0, 0, {record("QUST", 1, glob)}, "QUST"), worldWith(3, 3)}),
         "top group WRLD after the QUST group"},
        {"a wrong count", pluginOf(header, {worldWith(3, 3)}, -1),
         "the header counts 14 records and groups, the file holds 15"},
    };
}

// The world's persistent cell, which holds the placed NPCs.
std::vector<Case> persistentCellCases(const Bytes& header) {
    auto persistentWith = [](Node cellRecord, std::vector<Node> npcs, uint32_t labelled = persistentId) {
        std::vector<Node> children = {std::move(cellRecord), group(6, persistentId, {group(8, labelled, std::move(npcs))})};
        children.push_back(blockWithCell(cell, 3, 3));
        return worldOf(std::move(children));
    };
    const uint32_t p = persistentId;
    Node persistentWithName = cellAt(p, 0, 0, 1, persistent, 2);
    appendSubrecord(persistentWithName.data, "EDID", text("Persistent"));
    Node persistentAfterBlocks = worldOf({blockWithCell(cell, 3, 3)});
    for (Node& node : persistentCell(p, {placedNpc(p + 1)})) persistentAfterBlocks.children[1].children.push_back(node);
    Node persistentTemporary = worldWith(3, 3);
    persistentTemporary.children[1].children[1].children[0].groupType = 9;
    Node noPersistentChildren = worldWith(3, 3);
    noPersistentChildren.children[1].children.erase(noPersistentChildren.children[1].children.begin() + 1);
    return {
        {"a placed NPC without the flag", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 2), {placedNpc(p + 1, 0)})}),
         "ACHR 01000101 without the Persistent flag (0x400) in the persistent cell"},
        {"a persistent cell of DATA 0", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 0), {placedNpc(p + 1)})}),
         "persistent cell without its DATA 0x02"},
        {"a persistent cell at (1, 0)", pluginOf(header, {persistentWith(cellAt(p, 1, 0, 1, persistent, 2), {placedNpc(p + 1)})}),
         "persistent cell without its XCLC (0, 0)"},
        {"a persistent cell with a name", pluginOf(header, {persistentWith(persistentWithName, {placedNpc(p + 1)})}),
         "persistent cell with an editor ID"},
        {"placed NPCs out of order", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 2), {placedNpc(p + 2), placedNpc(p + 1)})}),
         "ACHR 01000101 after ACHR 01000102 in the persistent cell: they stand in FormID order"},
        {"a persistent group of another cell", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 2), {placedNpc(p + 1)}, p + 9)}),
         "group labelled 01000109 inside the children of cell 01000100"},
        {"a persistent cell without NPCs", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 2), {})}),
         "empty cell children group"},
        {"a persistent cell without its children", pluginOf(header, {noPersistentChildren}),
         "persistent cell without its children group"},
        {"a persistent cell's temporary children", pluginOf(header, {persistentTemporary}),
         "the persistent cell's children hold more or less than one group of type 8"},
        {"a persistent cell after the blocks", pluginOf(header, {persistentAfterBlocks}),
         "CELL record where an exterior cell block belongs"},
        {"a placed object in the persistent cell", pluginOf(header, {persistentWith(cellAt(p, 0, 0, 1, persistent, 2), {placedObject(p + 1, doorMarker, 0, 0)})}),
         "REFR 01000101 without the Persistent flag (0x400) in the persistent cell"},
    };
}

// A world of one cell whose temporary children are these records.
Bytes withTemporaryChildren(const Bytes& header, std::vector<Node> records) {
    return pluginOf(header, {withTemporary(worldWith(3, 3), std::move(records))});
}

// The world's bounds and the texture layers of its land.
std::vector<Case> boundsAndLayerCases(const Bytes& header) {
    Node wrongBounds = worldWith(3, 3);
    wrongBounds.children[0].data = Bytes();
    appendSubrecord(wrongBounds.children[0].data, "NAM0", floats({3 * 4096.0f, 3 * 4096.0f}));
    appendSubrecord(wrongBounds.children[0].data, "NAM9", floats({3 * 4096.0f, 4 * 4096.0f}));
    Node noBounds = worldWith(3, 3);
    noBounds.children[0].data = Bytes();
    auto landLayers = [&](const Bytes& layerBytes) { return withTemporaryChildren(header, {land(cell + 1, layerBytes)}); };
    Bytes quadrantsOutOfOrder = layer("BTXT", 0x0B, 1, 0);
    Bytes firstQuadrant = layers({0});
    quadrantsOutOfOrder.insert(quadrantsOutOfOrder.end(), firstQuadrant.begin(), firstQuadrant.end());
    Bytes baseAfterLayer = layers({0});
    Bytes secondBase = layer("BTXT", 0x0C, 0, 0);
    baseAfterLayer.insert(baseAfterLayer.end(), secondBase.begin(), secondBase.end());
    return {
        {"bounds one cell short", pluginOf(header, {wrongBounds}),
         "world bounds NAM0 (12288, 12288) and NAM9 (12288, 16384) where its exterior cells give (12288, 12288) and "
         "(16384, 16384)"},
        {"no bounds", pluginOf(header, {noBounds}), "world bounds NAM0 (missing) and NAM9 (missing)"},
        {"layers without a base (the old form)", landLayers(layer("ATXT", 0x0A, 0, 0)),
         "LAND with ATXT layers in quadrant 0 without a base texture (BTXT) before them"},
        {"nine layers", landLayers(layers({0, 1, 2, 3, 4, 5, 6, 7, 8})), "LAND with more than eight ATXT layers in quadrant 0"},
        {"layers not from 0", landLayers(layers({1})), "LAND with ATXT layer 1 where layer 0 belongs in quadrant 0"},
        {"a layer of FormID 0", landLayers(layers({0}, 0)), "LAND with an ATXT of FormID 0 in quadrant 0"},
        {"a base after a layer", landLayers(baseAfterLayer), "LAND with a second BTXT, or a BTXT after the ATXT layers, in quadrant 0"},
        {"quadrants out of order", landLayers(quadrantsOutOfOrder), "LAND with the BTXT of quadrant 0 after a later quadrant's layers"},
        {"a layer of quadrant 4", landLayers(layer("BTXT", 0x0B, 4, 0)), "LAND with a BTXT of quadrant above 3"},
    };
}

// Editor IDs, placed objects and statics.
std::vector<Case> recordCases(const Bytes& header) {
    auto temporary = [&](std::vector<Node> records) { return withTemporaryChildren(header, std::move(records)); };
    Node npcRecord = record("NPC_", 0x01000050, globWithEditorId('n'));
    Bytes baseOnly;
    appendSubrecord(baseOnly, "NAME", word(doorMarker));
    return {
        {"an empty children group", temporary({}), "empty cell children group"},
        {"a placed NPC among the temporary children", temporary({land(cell + 1), placedNpc(cell + 2)}),
         "ACHR record in a cell's group of type 9: persistent references stand in the world's persistent cell"},
        {"one editor ID in two cases", pluginOf(header, {group(0, 0, {record("GLOB", 1, globWithEditorId('g')), record("GLOB", 2, globWithEditorId('G'))}, "GLOB")}),
         "editor ID \"G\" of GLOB 00000002 is also that of 00000001 (compared without regard to case)"},
        {"an object before the land", temporary({placedObject(cell + 2, doorMarker, 3 * 4096, 3 * 4096), land(cell + 1)}),
         "LAND after placed objects: they follow their cell's land"},
        {"an object of an unknown base", temporary({placedObject(cell + 2, 0x01000099, 3 * 4096, 3 * 4096)}),
         "whose base object 01000099 is no placeable object of the file"},
        {"an object of an NPC", pluginOf(header, {group(0, 0, {npcRecord}, "NPC_"), withTemporary(worldWith(3, 3), {placedObject(cell + 2, 0x01000050, 3 * 4096, 3 * 4096)})}),
         "whose base object 01000050 is no placeable object of the file"},
        {"a persistent object", temporary({placedObject(cell + 2, doorMarker, 3 * 4096, 3 * 4096, persistent)}),
         "REFR record in a cell's group of type 9: persistent references stand in the world's persistent cell"},
        {"an object without DATA", temporary({record("REFR", cell + 2, baseOnly)}), "REFR without its 24-byte DATA"},
        {"a static without a model", pluginOf(header, {statics({staticRecord(0x01000040, "tree", false)}), worldWith(3, 3)}),
         "STAT without its EDID and MODL"},
        {"statics after NPCs", pluginOf(header, {group(0, 0, {npcRecord}, "NPC_"), statics({staticRecord(0x01000040, "tree")})}),
         "top group STAT after the NPC_ group"},
    };
}

}  // namespace

TEST(Inspector, ReportsTheOldLayoutAndEveryDepartureFromOblivionsOwn) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    const Bytes header = work.outputBytes();
    Verdicts verdict{work};
    std::vector<Case> cases;
    for (auto makeCases : {layoutCases, persistentCellCases, boundsAndLayerCases, recordCases})
        for (Case& test : makeCases(header)) cases.push_back(std::move(test));
    EXPECT_EQ(cases.size(), 42u);
    for (const Case& test : cases) {
        std::string found = verdict(test.bytes);
        EXPECT_NE(found.find(test.problem), std::string::npos) << test.what << ": " << found;
    }
}

TEST(Inspector, AnOverDeclaredCompressedRecordIsReportedWithoutAllocatingIt) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    Bytes bytes = pluginWithCompressedNpc(work.outputBytes());
    size_t stream = bytes.size() - (85 + 20 + 20 + 4);
    putU32(bytes, 85 + 20 + 20, 0x40000000);  // the NPC_ declares 1 GiB uncompressed
    work.writeFile("liar.esp", bytes);
    RunResult verdict = work.inspect({"liar.esp"});
    EXPECT_EQ(verdict.status, 1);
    EXPECT_NE(verdict.out.find("liar.esp: PROBLEM at byte 105: compressed NPC_ declares 1073741824 bytes, more than "
                               "its " + std::to_string(stream) + " compressed bytes can hold"),
              std::string::npos)
        << verdict.out;
    if (!limits::sanitizedBuild()) {
        EXPECT_LT(verdict.peakKilobytes, 64 * 1024);
        EXPECT_LT(verdict.cpuSeconds, 2.0);
    }

    // The most deflate can do is still read: 1 MiB of 0 bytes in about 1 KiB.
    Bytes dense = pluginWithCompressedNpc(work.outputBytes(), 6 * 174762);  // empty subrecords
    ASSERT_LT(dense.size() - (85 + 20 + 20 + 4), 1100u);
    work.writeFile("dense.esp", dense);
    RunResult sound = work.inspect({"dense.esp"});
    EXPECT_EQ(sound.status, 0) << sound.out;
}

TEST(Inspector, PicturesAreCappedInSizeMemoryAndTime) {
    auto flat = [](int, int) { return 0; };
    // Two lands 255 cells apart each way: a picture of 16385 x 16385 pixels
    // would take gigabytes. It is refused, quickly and without allocating it.
    WorkDir far;
    tes3::Plugin apart;
    apart.add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat)).add(tes3::cell("", 255, 255)).add(tes3::land(255, 255, flat));
    ASSERT_EQ(far.convert(apart).status, 0);
    RunResult refused = far.inspect({"LANDFER.ESP", "--heightmap", "h.png", "--textures", "t.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "No image drawn: the world's cells (x 0 to 511, y 0 to 511) would make a picture of 16385 x 16385 "
              "pixels, more than the largest picture drawn (41943040 pixels)\n");
    EXPECT_NE(refused.out.find("LANDFER.ESP: sound\n"), std::string::npos) << refused.out;
    EXPECT_FALSE(far.exists("h.png"));
    if (!limits::sanitizedBuild()) {
        EXPECT_LT(refused.peakKilobytes, 64 * 1024);
        EXPECT_LT(refused.cpuSeconds, 2.0);
    }

    // The largest world drawn, 100 cells apart each way (6465 x 6465 pixels),
    // takes less than 512 MiB and 5 seconds of CPU time for both pictures.
    if (limits::sanitizedBuild()) return;
    WorkDir wide;
    tes3::Plugin largest;
    largest.add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat)).add(tes3::cell("", 100, 100)).add(tes3::land(100, 100, flat));
    ASSERT_EQ(wide.convert(largest).status, 0);
    for (const char* picture : {"--heightmap", "--textures"}) {
        RunResult drawn = wide.inspect({"LANDFER.ESP", picture, "p.png"});
        EXPECT_EQ(drawn.status, 0) << drawn.err;
        EXPECT_TRUE(wide.exists("p.png"));
        EXPECT_LT(drawn.peakKilobytes, 512 * 1024) << picture;
        EXPECT_LT(drawn.cpuSeconds, 5.0) << picture;
    }
}

TEST(Inspector, DeeplyNestedGroupsAreAProblemNotADeepRecursion) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    Bytes header = work.outputBytes();
    // 100000 empty groups, each inside the one before: only 2 MB, but deeper
    // than any plugin nests its groups.
    const uint32_t depth = 100000;
    Bytes bytes(header.begin(), header.begin() + 85);
    for (uint32_t level = 0; level < depth; ++level) {
        appendText(bytes, "GRUP");
        appendU32(bytes, 20 * (depth - level));
        appendText(bytes, level == 0 ? "GLOB" : std::string(4, '\0'));
        appendU32(bytes, level == 0 ? 0 : 1);
        appendU32(bytes, 0x2F04);
    }
    work.writeFile("deep.esp", bytes);
    RunResult verdict = work.inspect({"deep.esp"});
    EXPECT_EQ(verdict.signal, 0);
    EXPECT_EQ(verdict.status, 1);
    EXPECT_NE(verdict.out.find("deep.esp: PROBLEM at byte 405: groups nested more than 16 deep"), std::string::npos)
        << verdict.out;
}

// The dialogue: a topic without its children, a response without its
// quest, a condition Oblivion does not know, an add-topic that is no topic.
TEST(Inspector, CatchesBrokenDialogue) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::topic("lf first", 0)).add(tes3::dialogueResponse({"1", "", "", "Ask about lf second."}));
    tes3::ResponseFields conditioned{"2", "", "", "By sex."};
    conditioned.sex = 1;
    plugin.add(tes3::topic("lf second", 0)).add(tes3::dialogueResponse(conditioned));
    ASSERT_EQ(work.convert(plugin).status, 0);
    const Bytes sound = work.outputBytes();
    ASSERT_EQ(work.inspect({"LANDFER.ESP"}).status, 0);
    auto find = [&](const std::string& pattern, size_t from = 0) {
        auto at = std::search(sound.begin() + from, sound.end(), pattern.begin(), pattern.end());
        return static_cast<size_t>(at - sound.begin());
    };
    struct Break {
        const char* problem;
        size_t offset;
        std::string bytes;
    };
    // The first topic stands behind the DIAL group's header; its children group's type behind it.
    const size_t firstTopic = find("DIAL", find("DIAL") + 4);
    const size_t childrenType = firstTopic + 20 + tes4::u32(sound, firstTopic + 4) + 12;
    const Break breaks[] = {
        {"without its Topic Children group", childrenType, std::string("\x06", 1)},
        {"without a quest", find("QSTI", find("INFO")), "QSTX"},
        {"with condition function 999, which Oblivion's dialogue does not know", find("CTDA") + 6 + 8,
         std::string("\xE7\x03", 2)},
        {", no DIAL", find("NAME", find("INFO")) + 6, std::string("\xFF\xFF", 2)},
    };
    for (const Break& broken : breaks) {
        ASSERT_LT(broken.offset, sound.size()) << broken.problem;
        Bytes bytes = sound;
        std::copy(broken.bytes.begin(), broken.bytes.end(), bytes.begin() + broken.offset);
        work.writeFile("broken.esp", bytes);
        RunResult verdict = work.inspect({"broken.esp"});
        EXPECT_EQ(verdict.status, 1) << broken.problem;
        EXPECT_NE((verdict.out + verdict.err).find(broken.problem), std::string::npos) << verdict.out << verdict.err;
    }
}
