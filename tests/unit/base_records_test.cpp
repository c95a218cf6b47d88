// The base records made of Morrowind containers, lights and activators,
// from the Morrowind record read as the index reads it, subrecord by
// subrecord; and the lock levels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "landscape/base_records.h"
#include "landscape/lock_levels.h"
#include "record_subrecords.h"
#include "tes3_builder.h"
#include "tes4_reader.h"
#include "written_subrecords.h"

using namespace landfer;
using Bytes = std::vector<uint8_t>;

namespace {

using support::Sub;

Bytes containerData(const BaseObject& object, const BaseRecordHead& head, const std::vector<InventoryItem>& contents) {
    return writtenSubrecords([&](RecordWriter& record) { writeContainer(record, object, head, contents); });
}
Bytes lightData(const BaseObject& object, const BaseRecordHead& head) {
    return writtenSubrecords([&](RecordWriter& record) { writeLight(record, object, head); });
}
Bytes activatorData(const BaseObject& object, const BaseRecordHead& head) {
    return writtenSubrecords([&](RecordWriter& record) { writeActivator(record, object, head); });
}
Bytes staticData(const BaseRecordHead& head) {
    return writtenSubrecords([&](RecordWriter& record) { writeStatic(record, head); });
}
using support::subrecords;

std::vector<std::string> types(const std::vector<Sub>& subs) {
    std::vector<std::string> out;
    for (const Sub& sub : subs) out.push_back(sub.type);
    return out;
}

const Sub& named(const std::vector<Sub>& subs, const std::string& type) {
    for (const Sub& sub : subs)
        if (sub.type == type) return sub;
    static const Sub none;
    ADD_FAILURE() << "no " << type;
    return none;
}

BaseObject read(const tes3::Record& record) {
    BaseObject object;
    EXPECT_TRUE(BaseObjects::readObject(record.type().c_str(), {record.data().data(), record.data().size()}, object));
    return object;
}

// NPCO: a count and a 32-byte id, which may fill all 32 bytes.
Bytes npco(int32_t count, const std::string& id) {
    Bytes data = tes3::int32s({count});
    Bytes name(32, 0);
    std::memcpy(name.data(), id.data(), std::min<size_t>(id.size(), 32));
    data.insert(data.end(), name.begin(), name.end());
    return data;
}

Bytes lhdt(float weight, int32_t value, int32_t time, int32_t radius, Bytes colour, int32_t flags) {
    Bytes data = tes3::floats({weight});
    for (int32_t number : {value, time, radius}) {
        Bytes more = tes3::int32s({number});
        data.insert(data.end(), more.begin(), more.end());
    }
    data.insert(data.end(), colour.begin(), colour.end());
    Bytes last = tes3::int32s({flags});
    data.insert(data.end(), last.begin(), last.end());
    return data;
}

}  // namespace

TEST(BaseRecords, AContainerKeepsItsNameModelContentsCapacityAndRespawnFlag) {
    tes3::Record chest("CONT");
    chest.ztext("NAME", "lf_chest").ztext("MODL", "c\\chest.nif").ztext("FNAM", "Old Chest")
        .sub("CNDT", tes3::floats({150.0f})).sub("FLAG", tes3::int32s({0x0B}))  // organic, respawns, the usual 8
        .ztext("SCRI", "lf_chest_script")
        .sub("NPCO", npco(-3, "lf_restocked"))
        .sub("NPCO", npco(1, std::string(32, 'k')));
    BaseObject object = read(chest);
    EXPECT_EQ(object.name, "Old Chest");
    EXPECT_EQ(object.script, "lf_chest_script");
    ASSERT_EQ(object.contents.size(), 2u);
    EXPECT_EQ(object.contents[0].count, -3);
    EXPECT_EQ(object.contents[0].itemId, "lf_restocked");
    EXPECT_EQ(object.contents[1].itemId, std::string(32, 'k'));

    std::vector<Sub> subs =
        subrecords(containerData(object, {"lfchest", "morrowind\\c\\chest.nif"}, {{0x00000C0D, carriedCount(-3)},
                                                                                     {0x01000005, 1}}));
    EXPECT_EQ(types(subs), (std::vector<std::string>{"EDID", "FULL", "MODL", "MODB", "CNTO", "CNTO", "DATA"}));
    EXPECT_EQ(named(subs, "FULL").data, tes3::ztext("Old Chest"));
    EXPECT_EQ(named(subs, "MODL").data, tes3::ztext("morrowind\\c\\chest.nif"));
    EXPECT_EQ(subs[4].data, (Bytes{0x0D, 0x0C, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(subs[5].data, (Bytes{5, 0, 0, 1, 1, 0, 0, 0}));
    Bytes data = named(subs, "DATA").data;
    ASSERT_EQ(data.size(), 5u);
    EXPECT_EQ(data[0], containerRespawns);  // the organic flag and Morrowind's 8 are Morrowind's own
    EXPECT_EQ(tes4::f32(data, 1), 150.0f);

    // Without a name, model, contents or respawning.
    tes3::Record bare("CONT");
    bare.ztext("NAME", "lf_bare").sub("CNDT", tes3::floats({0})).sub("FLAG", tes3::int32s({0x08}));
    subs = subrecords(containerData(read(bare), {"lfbare", ""}, {}));
    EXPECT_EQ(types(subs), (std::vector<std::string>{"EDID", "DATA"}));
    EXPECT_EQ(named(subs, "DATA").data, (Bytes{0, 0, 0, 0, 0}));
}

TEST(BaseRecords, ALightCarriesTimeRadiusColourValueWeightAndEachFlagOblivionHas) {
    struct Case {
        int32_t morrowindFlags;
        uint32_t oblivionFlags;
    };
    // Dynamic, can be carried, negative, flicker, fire (none in Oblivion),
    // off by default, flicker slow, pulse, pulse slow; and all of them.
    const Case cases[] = {{0x001, 0x001}, {0x002, 0x002}, {0x004, 0x004}, {0x008, 0x008}, {0x010, 0x000},
                          {0x020, 0x020}, {0x040, 0x040}, {0x080, 0x080}, {0x100, 0x100}, {0x1FF, 0x1EF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.morrowindFlags);
        tes3::Record lamp("LIGH");
        lamp.ztext("NAME", "lf_lamp").ztext("MODL", "l\\lamp.nif").ztext("FNAM", "Lamp")
            .sub("LHDT", lhdt(2.5f, 7, -1, 256, {255, 128, 64, 9}, c.morrowindFlags));
        BaseObject object = read(lamp);
        std::vector<Sub> subs = subrecords(lightData(object, {"lflamp", "morrowind\\l\\lamp.nif"}));
        // The name follows the model in a light.
        EXPECT_EQ(types(subs), (std::vector<std::string>{"EDID", "MODL", "MODB", "FULL", "DATA", "FNAM"}));
        Bytes data = named(subs, "DATA").data;
        ASSERT_EQ(data.size(), 32u);
        EXPECT_EQ(static_cast<int32_t>(tes4::u32(data, 0)), -1);
        EXPECT_EQ(tes4::u32(data, 4), 256u);
        EXPECT_EQ(Bytes(data.begin() + 8, data.begin() + 12), (Bytes{255, 128, 64, 0}));
        EXPECT_EQ(tes4::u32(data, 12), c.oblivionFlags);
        EXPECT_EQ(tes4::f32(data, 16), 1.0f);   // falloff
        EXPECT_EQ(tes4::f32(data, 20), 90.0f);  // field of view
        EXPECT_EQ(tes4::u32(data, 24), 7u);
        EXPECT_EQ(tes4::f32(data, 28), 2.5f);
        EXPECT_EQ(tes4::f32(named(subs, "FNAM").data, 0), 1.0f);
    }
    // A light without a model or a name is a light source alone.
    tes3::Record glow("LIGH");
    glow.ztext("NAME", "lf_glow").sub("LHDT", lhdt(0, 0, 10, 512, {1, 2, 3, 0}, 0x1));
    EXPECT_EQ(types(subrecords(lightData(read(glow), {"lfglow", ""}))),
              (std::vector<std::string>{"EDID", "DATA", "FNAM"}));
}

TEST(BaseRecords, AnActivatorKeepsItsNameAndModelAndAStaticItsModel) {
    tes3::Record lever("ACTI");
    lever.ztext("NAME", "lf_lever").ztext("MODL", "a\\lever.nif").ztext("FNAM", "Lever").ztext("SCRI", "lf_pull");
    BaseObject object = read(lever);
    std::vector<Sub> subs = subrecords(activatorData(object, {"lflever", "morrowind\\a\\lever.nif"}));
    EXPECT_EQ(types(subs), (std::vector<std::string>{"EDID", "FULL", "MODL", "MODB"}));
    EXPECT_EQ(named(subs, "EDID").data, tes3::ztext("lflever"));
    EXPECT_EQ(tes4::f32(named(subs, "MODB").data, 0), guessedBoundRadius);
    EXPECT_EQ(types(subrecords(staticData({"lfrock", "morrowind\\r\\rock.nif"}))),
              (std::vector<std::string>{"EDID", "MODL", "MODB"}));
}

TEST(BaseRecords, ALightOfRadius0ReachesOneUnit) {
    tes3::Record dark("LIGH");
    dark.ztext("NAME", "lf_dark").sub("LHDT", lhdt(1, 2, 600, 0, {0, 0, 0, 0}, 0x1));
    Bytes data = named(subrecords(lightData(read(dark), {"lfdark", ""})), "DATA").data;
    ASSERT_EQ(data.size(), 32u);
    EXPECT_EQ(tes4::u32(data, 4), 1u);
}

TEST(BaseRecords, KeysAndCarriedLightsAreToldApart) {
    tes3::Record key("MISC"), cup("MISC"), torch("LIGH"), sconce("LIGH");
    Bytes mcdt = tes3::floats({0.1f});
    Bytes rest = tes3::int32s({5, 1});
    mcdt.insert(mcdt.end(), rest.begin(), rest.end());
    key.ztext("NAME", "lf_key").sub("MCDT", mcdt);
    mcdt[8] = 0;
    cup.ztext("NAME", "lf_cup").sub("MCDT", mcdt);
    torch.ztext("NAME", "lf_torch").sub("LHDT", lhdt(1, 2, 600, 128, {0, 0, 0, 0}, 0x2));
    sconce.ztext("NAME", "lf_sconce").sub("LHDT", lhdt(1, 2, 600, 128, {0, 0, 0, 0}, 0x1));
    EXPECT_TRUE(read(key).isKey());
    EXPECT_FALSE(read(cup).isKey());
    EXPECT_TRUE(read(torch).isCarriedLight());
    EXPECT_FALSE(read(sconce).isCarriedLight());
}

TEST(LockLevels, MorrowindsLevelsUpTo99StayAndHarderOnesBecomeTheHardestToPick) {
    const std::pair<int32_t, int>  cases[] = {{1, 1},     {25, 25},   {50, 50},  {98, 98}, {99, 99},
                                              {100, 99},  {250, 99},  {0, 0},    {-5, 0},  {2147483647, 0}};
    for (auto [morrowind, oblivion] : cases) EXPECT_EQ(oblivionLockLevel(morrowind), oblivion) << morrowind;
}
