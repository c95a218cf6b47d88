// landfer-inspect: it passes sound files and catches broken ones.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "address_space_limit.h"
#include "e2e_run.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;
using tes4::Bytes;

namespace {

void putU32(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

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
