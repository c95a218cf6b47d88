// landfer-inspect: it passes sound files and catches broken ones.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "address_space_limit.h"
#include "e2e_run.h"
#include "test_helpers.h"
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
    Bytes data;
    std::vector<Node> children;
};

Node record(const std::string& type, uint32_t formId, const Bytes& data) {
    Node node;
    node.type = type;
    node.formId = formId;
    node.data = data;
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

// An exterior cell at an Oblivion grid, with a DATA of the given size.
Node cellAt(uint32_t formId, int32_t x, int32_t y, size_t dataSize = 1) {
    Bytes data;
    appendSubrecord(data, "DATA", Bytes(dataSize, 0));
    Bytes grid;
    appendU32(grid, static_cast<uint32_t>(x));
    appendU32(grid, static_cast<uint32_t>(y));
    appendSubrecord(data, "XCLC", grid);
    return record("CELL", formId, data);
}

// An NPC of the master file placed in a cell.
Node placedNpc(uint32_t formId) {
    Bytes data;
    appendSubrecord(data, "NAME", Bytes{7, 0, 0, 0});
    appendSubrecord(data, "DATA", Bytes(24, 0));
    return record("ACHR", formId, data);
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
        appendU32(out, 0);
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

// The world top group holding these blocks.
Node worldOf(std::vector<Node> blocks) {
    Bytes worldData;
    appendSubrecord(worldData, "EDID", Bytes{'W', 0});
    return group(0, 0, {record("WRLD", worldId, worldData), group(1, worldId, std::move(blocks))}, "WRLD");
}

// One cell at (x, y) in its block and sub-block, with a placed NPC.
Node blockWithCell(uint32_t cellId, int32_t x, int32_t y) {
    auto floorDiv = [](int32_t v, int32_t d) { return v >= 0 ? v / d : -((-v + d - 1) / d); };
    return group(4, gridLabel(floorDiv(x, 32), floorDiv(y, 32)),
                 {group(5, gridLabel(floorDiv(x, 8), floorDiv(y, 8)),
                        {cellAt(cellId, x, y), group(6, cellId, {group(8, cellId, {placedNpc(cellId + 1)})})})});
}

}  // namespace

TEST(Inspector, ReportsTheOldLayoutAndEveryDepartureFromOblivionsOwn) {
    WorkDir work;
    ASSERT_EQ(work.convert(tes3::Plugin()).status, 0);
    const Bytes header = work.outputBytes();
    auto verdict = [&work](const Bytes& bytes) {
        work.writeFile("made.esp", bytes);
        RunResult result = work.inspect({"made.esp"});
        return result.status == 0 ? std::string("sound") : result.out.substr(result.out.find("PROBLEM"));
    };
    Bytes glob;
    appendSubrecord(glob, "EDID", Bytes{'g', 0});

    // Blocks (1, -1) and (0, 0), by (Y, X); cells in the sub-blocks of their grids.
    EXPECT_EQ(verdict(pluginOf(header, {worldOf({blockWithCell(0x01000010, 40, -3), blockWithCell(0x01000020, -1, -1 + 8)})})),
              "sound");

    struct Case {
        const char* what;
        Bytes bytes;
        std::string problem;
    };
    const uint32_t cell = 0x01000010;
    Node oldWorld = worldOf({});
    oldWorld.children[1].children = {cellAt(cell, 0, 0, 0), group(6, 0, {group(9, 0, {})})};
    Node twoChildren = blockWithCell(cell, 3, 3);
    twoChildren.children[0].children.push_back(group(6, cell, {group(8, cell, {placedNpc(cell + 5)})}));
    Node temporaryFirst = blockWithCell(cell, 3, 3);
    Node& children = temporaryFirst.children[0].children[1];
    children.children.insert(children.children.begin(), group(9, cell, {placedNpc(cell + 6)}));
    Node emptyChildren = blockWithCell(cell, 3, 3);
    emptyChildren.children[0].children[1].children.clear();
    Node cellsOutOfOrder = blockWithCell(cell, 3, 3);
    cellsOutOfOrder.children[0].children.push_back(cellAt(cell - 1, 4, 4));
    Node shortData = blockWithCell(cell, 3, 3);
    shortData.children[0].children[0] = cellAt(cell, 3, 3, 0);
    const Case cases[] = {
        {"the old layout", pluginOf(header, {oldWorld}),
         "CELL record where an exterior cell block belongs"},
        {"a cell without flags", pluginOf(header, {worldOf({shortData})}), "cell without its 1-byte DATA"},
        {"a cell in another sub-block", pluginOf(header, {worldOf({group(4, 0, {group(5, gridLabel(1, 0), {cellAt(cell, 3, 3)})})})}),
         "cell at (3, 3) in sub-block (1, 0)"},
        {"a sub-block in another block", pluginOf(header, {worldOf({group(4, 0, {group(5, gridLabel(4, 0), {cellAt(cell, 32, 3)})})})}),
         "sub-block (4, 0) in block (0, 0)"},
        {"blocks out of order", pluginOf(header, {worldOf({blockWithCell(cell, 3, 3), blockWithCell(cell + 8, 3, -40)})}),
         "block (0, -2) after block (0, 0)"},
        {"cells out of order", pluginOf(header, {worldOf({cellsOutOfOrder})}), "cell 0100000F after cell 01000010"},
        {"two children groups", pluginOf(header, {worldOf({twoChildren})}), "a second children group for cell 01000010"},
        {"temporary before persistent", pluginOf(header, {worldOf({temporaryFirst})}),
         "group of type 8 after one of type 9 in a cell's children"},
        {"an empty children group", pluginOf(header, {worldOf({emptyChildren})}), "empty cell children group"},
        {"two cells on one grid", pluginOf(header, {worldOf({group(4, 0, {group(5, 0, {cellAt(cell, 3, 3), cellAt(cell + 1, 3, 3)})})})}),
         "a second cell at (3, 3)"},
        {"a type again", pluginOf(header, {group(0, 0, {record("GLOB", 1, glob)}, "GLOB"), group(0, 0, {record("GLOB", 2, glob)}, "GLOB")}),
         "top group GLOB again"},
        {"types out of order", pluginOf(header, {group(0, 0, {record("QUST", 1, glob)}, "QUST"), worldOf({blockWithCell(cell, 3, 3)})}),
         "top group WRLD after the QUST group"},
        {"a wrong count", pluginOf(header, {worldOf({blockWithCell(cell, 3, 3)})}, -1),
         "the header counts 8 records and groups, the file holds 9"},
    };
    for (const Case& test : cases) EXPECT_NE(verdict(test.bytes).find(test.problem), std::string::npos) << test.what << ": " << verdict(test.bytes);
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
        EXPECT_LT(verdict.seconds, 2.0);
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
        EXPECT_LT(refused.seconds, 2.0);
    }

    // The largest world drawn, 100 cells apart each way (6465 x 6465 pixels),
    // takes less than 512 MiB and 5 seconds for both pictures.
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
        EXPECT_LT(drawn.seconds, 5.0) << picture;
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
