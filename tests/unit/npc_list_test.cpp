// "npcs.tmp", written in-process by the NPC converter: one entry per NPC written,
// with the FormID its record got.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "actors/actors.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"
#include "e2e_run.h"
#include "tes3_npc.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

tes3::Record npcNamed(const std::string& id) {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("RNAM", "Breton").sub("AIDT", tes3::aiData(0, 0, 0, 0));
    return record;
}

void convert(Actors& actors, const tes3::Record& record) {
    actors.convertNpc(RecordData{record.data().data(), record.data().size()});
}

Bytes entry(const std::string& id, uint32_t formId) {
    std::string bytes(1, static_cast<char>(id.size() + 1));
    bytes += id;
    bytes += '\0';
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(formId >> (8 * i));
    return Bytes(bytes.begin(), bytes.end());
}

struct TestRun {
    FILE* messages = tmpfile();
    ConversionServices services{stdout, messages, "lfdat"};
    Actors actors{services};
    TestRun() {
        FileWriter output;
        if (!output.open("output.esp", "wb")) throw std::runtime_error("cannot open output.esp");
        writeFileHeader(output);
        services.output = OutputPlugin(std::move(output));
    }
    ~TestRun() { std::fclose(messages); }
    std::string messageText() { return e2e::readStream(messages); }
};

}  // namespace

TEST(NpcList, OneEntryPerWrittenNpcWithItsRecordsFormId) {
    e2e::CurrentWorkDir work;
    TestRun test;
    convert(test.actors, npcNamed("player"));
    EXPECT_FALSE(fs::exists("npcs.tmp"));  // the player is not listed
    test.services.formIds = FormIds(0x00ABCDEF);
    convert(test.actors, npcNamed("Ald_Warden"));
    convert(test.actors, npcNamed("b"));
    EXPECT_EQ(test.actors.npcCount(), 3);
    EXPECT_EQ(test.services.formIds.peek(), 0x01ABCDF1u);
    Bytes expected = entry("Ald_Warden", 0x01ABCDEF);
    Bytes second = entry("b", 0x01ABCDF0);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(tes4::readFileBytes("npcs.tmp"), expected);

    // The records carry the same FormIDs.
    test.actors.writeNpcGroup();
    test.services.output.finish();
    tes4::File file = tes4::readPlugin(tes4::readFileBytes("output.esp"));
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 2u);
    EXPECT_EQ(npcs[0]->formId, 0x01ABCDEFu);
    EXPECT_EQ(npcs[1]->formId, 0x01ABCDF0u);
}

TEST(NpcList, EditorIdsTooLongForTheLengthByteAreNotListed) {
    e2e::CurrentWorkDir work;
    TestRun test;
    std::string longest(254, 'a');
    std::string tooLong(255, 'b');
    convert(test.actors, npcNamed(longest));
    convert(test.actors, npcNamed(tooLong));
    EXPECT_EQ(tes4::readFileBytes("npcs.tmp"), entry(longest, 0x011E8480));
    EXPECT_EQ(test.messageText(), "The NPC " + tooLong +
                                          " cannot be placed in cells: its editor ID is longer than 254 characters.\n");
}

TEST(NpcList, UnwritableListIsFatal) {
    e2e::CurrentWorkDir work;
    TestRun test;
    fs::create_directory("npcs.tmp");  // cannot be opened for appending
    try {
        convert(test.actors, npcNamed("someone"));
        FAIL() << "no fatal error";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to open npcs.tmp for appending: Is a directory\n");
    }
}
