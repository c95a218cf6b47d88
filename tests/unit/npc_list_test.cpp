// The NPC index, filled in-process by the NPC converter: one entry per NPC
// written, with the FormID its record got.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "actors/actors.h"
#include "services/conversion_services.h"
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

// The FormID the index holds for an id, or 0 when it holds none.
uint32_t indexed(const Actors& actors, const std::string& id) {
    uint8_t formId[4];
    if (!actors.npcIndex().find(id, formId)) return 0;
    return tes4::u32(Bytes(formId, formId + 4), 0);
}

struct TestRun {
    FILE* messages = tmpfile();
    ConversionServices services{stdout, messages, "lfdat"};
    ConvertedIdIndex books;
    Actors actors{services.output(), services.problems(), services.lookups(), books};
    TestRun() {
        FileWriter output;
        if (!output.open("output.esp", "wb")) throw std::runtime_error("cannot open output.esp");
        writeFileHeader(output);
        services.output().plugin = OutputPlugin(std::move(output));
    }
    ~TestRun() { std::fclose(messages); }
    std::string messageText() { return e2e::readStream(messages); }
};

}  // namespace

TEST(NpcList, OneEntryPerWrittenNpcWithItsRecordsFormId) {
    e2e::CurrentWorkDir work;
    TestRun test;
    convert(test.actors, npcNamed("player"));
    EXPECT_EQ(indexed(test.actors, "player"), 0u);  // the player is not listed
    test.services.output().formIds = FormIds(0x00ABCDEF);
    convert(test.actors, npcNamed("Ald_Warden"));
    convert(test.actors, npcNamed("b"));
    EXPECT_EQ(test.actors.npcCount(), 3);
    EXPECT_EQ(test.services.output().formIds.peek(), 0x01ABCDF1u);
    EXPECT_EQ(indexed(test.actors, "Ald_Warden"), 0x01ABCDEFu);
    EXPECT_EQ(indexed(test.actors, "b"), 0x01ABCDF0u);
    EXPECT_EQ(indexed(test.actors, "Ald_Warde"), 0u);  // the whole id must match
    EXPECT_FALSE(fs::exists("npcs.tmp"));             // the index is kept in memory only

    // The records carry the same FormIDs.
    test.actors.writeNpcGroup();
    test.services.output().plugin.finish();
    tes4::File file = tes4::readPlugin(tes4::readFileBytes("output.esp"));
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 2u);
    EXPECT_EQ(npcs[0]->formId, 0x01ABCDEFu);
    EXPECT_EQ(npcs[1]->formId, 0x01ABCDF0u);
}

// Morrowind's ids are case-insensitive and of any length; the first NPC of
// an id keeps it.
TEST(NpcList, IdsMatchWithoutRegardToLetterCaseAtAnyLength) {
    e2e::CurrentWorkDir work;
    TestRun test;
    std::string longId(300, 'b');
    convert(test.actors, npcNamed("Guard1"));
    convert(test.actors, npcNamed(longId));
    convert(test.actors, npcNamed("GUARD1"));
    EXPECT_EQ(indexed(test.actors, "guard1"), 0x011E8480u);
    EXPECT_EQ(indexed(test.actors, "gUaRd1"), 0x011E8480u);
    EXPECT_EQ(indexed(test.actors, std::string(300, 'B')), 0x011E8481u);
    // The same id again, in another case, is the same NPC: the first stays.
    EXPECT_EQ(test.messageText(),
              "The NPC_ record GUARD1 repeats an NPC of this plugin (ids are the same in any letter case). Ignoring!\n");
}
