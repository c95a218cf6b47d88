// The base-object index: every base-object record of the files read, by id
// in any letter case, later records replacing earlier ones, deleted ones
// removing them; and the mapping by kind on what it holds.
#include <gtest/gtest.h>

#include <string>

#include "services/items_by_kind.h"
#include "e2e_run.h"
#include "services/base_objects.h"
#include "tes3_items.h"

using namespace landfer;

namespace {

struct Index {
    FILE* messages = tmpfile();
    Reporter reporter{stdout, messages};
    Losses losses;
    Problems problems{reporter, losses};
    BaseObjects objects;
    ~Index() { std::fclose(messages); }
    void read(const std::string& name, const tes3::Plugin& plugin, bool isMaster) {
        plugin.save(name);
        objects.readPlugin(name, isMaster, problems);
    }
};

}  // namespace

TEST(BaseObjects, LaterRecordsReplaceEarlierAndDeletedOnesRemoveThem) {
    e2e::CurrentWorkDir work;
    Index index;
    tes3::Plugin master;
    master.add(tes3::weapon("Shared_Sword", 1, 100))
        .add(tes3::plainRecord("STAT", "rock_01"))
        .add(tes3::weapon("deleted_by_flag", 1, 5))
        .add(tes3::weapon("deleted_by_dele", 1, 5))
        .add(tes3::plainRecord("GLOB", "not_an_object"));
    index.read("master.esm", master, true);
    tes3::Plugin plugin;
    plugin.add(tes3::armour("SHARED_SWORD", 1, 40, 5))  // the same id, another type
        .add(tes3::Record("WEAP", 0x20).ztext("NAME", "deleted_by_flag"))
        .add(tes3::Record("WEAP").ztext("NAME", "Deleted_By_Dele").sub("DELE", tes3::int32s({0})));
    index.read("plugin.esp", plugin, false);

    const BaseObject* sword = index.objects.find("shared_sword");
    ASSERT_NE(sword, nullptr);
    EXPECT_EQ(sword->id, "SHARED_SWORD");
    EXPECT_TRUE(sword->is("ARMO"));
    EXPECT_FALSE(sword->fromMaster);
    EXPECT_EQ(sword->kind, 1);
    EXPECT_EQ(sword->value, 5);
    const BaseObject* rock = index.objects.find("ROCK_01");
    ASSERT_NE(rock, nullptr);
    EXPECT_TRUE(rock->fromMaster);
    EXPECT_EQ(index.objects.find("deleted_by_flag"), nullptr);
    EXPECT_EQ(index.objects.find("deleted_by_dele"), nullptr);
    EXPECT_EQ(index.objects.find("not_an_object"), nullptr);
    EXPECT_EQ(index.objects.size(), 2u);
    EXPECT_EQ(e2e::readStream(index.messages), "");
}

TEST(BaseObjects, KeepsTheModelAndReportsAMastersMalformedRecords) {
    e2e::CurrentWorkDir work;
    Index index;
    tes3::Plugin master;
    master.add(tes3::weapon("blade", 0, 10))
        .add(tes3::Record("ARMO").ztext("NAME", "cut").sub("AODT", tes3::int32s({1})));
    index.read("master.esm", master, true);
    ASSERT_NE(index.objects.find("blade"), nullptr);
    EXPECT_EQ(index.objects.find("blade")->model, "w\\blade.nif");
    EXPECT_EQ(index.objects.find("cut"), nullptr);
    EXPECT_EQ(e2e::readStream(index.messages),
              "A ARMO record of the master master.esm is malformed (its AODT subrecord holds 4 of 10 bytes). "
              "Ignoring! (record at byte 452 of master.esm, subrecord at byte 480)\n");
    // The master's bad record is among the losses, for the CSV.
    EXPECT_EQ(index.losses.total(LossKind::skippedRecord), 1);
}

TEST(ItemKinds, EachKindToItsOblivionCounterpart) {
    const struct {
        tes3::Record record;
        const char* expected;  // editor id, or null for none
    } cases[] = {
        {tes3::weapon("a", 0, 10, 3), "WeapIronDagger"},
        {tes3::weapon("b", 0, 10, 8), "WeapIronShortsword"},
        {tes3::weapon("c", 2, 100000), "WeapDaedricClaymore"},
        {tes3::weapon("d", 8, 1000), "WeapDwarvenBattleAxe"},
        {tes3::weapon("e", 12, 1), "Arrow1Iron"},
        {tes3::weapon("f", 5, 100), nullptr},  // staff
        {tes3::weapon("g", 6, 100), nullptr},  // spear
        {tes3::weapon("h", 11, 100), nullptr},  // thrown
        {tes3::armour("i", 0, 1, 5), "FurHelmet"},
        {tes3::armour("j", 1, 50, 30000), "DaedricCuirass"},
        {tes3::armour("k", 9, 2, 60), "ChainmailGauntlets"},  // bracer, light, 360 as a cuirass
        {tes3::armour("l", 3, 10, 50), nullptr},  // pauldron
        {tes3::clothing("m", 7, 5), "LowerPants01"},  // skirt
        {tes3::clothing("n", 9, 150), "JewelryAmulet5Gold"},
        {tes3::clothing("o", 3, 5), nullptr},  // belt
        {tes3::clothing("p", 6, 5), nullptr},  // glove
        {tes3::potion("q", 79, 2), "PotionFortifyWillpower"},
        {tes3::potion("r", 10), "PotionRestoreFatigueW"},  // levitation: none in Oblivion
        {tes3::Record("BOOK").ztext("NAME", "s").sub("BKDT", tes3::int32s({0, 5, 1, -1, 0})), "ScrollStandardFireDamageTarget1Novice"},
        {tes3::Record("LIGH").ztext("NAME", "t").sub("LHDT", tes3::int32s({0, 5, 100, 100, 0, 2})), "Torch02"},
        {tes3::Record("LEVI").ztext("NAME", "u"), nullptr},
        {tes3::plainRecord("STAT", "v"), nullptr},
    };
    for (const auto& item : cases) {
        BaseObject object;
        const tes3::Bytes& data = item.record.data();
        ASSERT_TRUE(BaseObjects::readObject(item.record.type().c_str(), {data.data(), data.size()}, object));
        KindChoice choice;
        bool found = itemByKind(object, choice);
        EXPECT_EQ(found, item.expected != nullptr) << object.id;
        if (found && item.expected != nullptr) {
            EXPECT_STREQ(choice.editorId, item.expected) << object.id;
        }
    }
}
