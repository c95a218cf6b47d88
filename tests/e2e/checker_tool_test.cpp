// landfer-inspect: it passes sound files and catches broken ones.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "e2e_run.h"

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

// A GRUP NPC_ with one compressed NPC_ record holding an EDID, behind the header of a real output.
Bytes pluginWithCompressedNpc(const Bytes& header) {
    Bytes data;
    appendText(data, "EDID");
    data.push_back(6);
    data.push_back(0);
    appendText(data, std::string("guard\0", 6));
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
