// Globals and books, read back from the output.
#include <gtest/gtest.h>

#include <string>

#include "e2e_run.h"
#include "run_output.h"

using e2e::RunResult;
using e2e::WorkDir;
using e2e::convertOk;
using tes4::Bytes;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace

TEST(Globals, GoldGivesTheDocumentedRecord) {
    WorkDir work;
    tes3::Record gold("GLOB");
    gold.ztext("NAME", "Gold").sub("FNAM", {0x6C}).sub("FLTV", {0x00, 0x00, 0x80, 0x3F});
    tes4::File file = convertOk(work, tes3::Plugin().add(gold));
    auto globals = file.records("GLOB");
    ASSERT_EQ(globals.size(), 1u);
    const tes4::Entry& record = *globals[0];
    EXPECT_EQ(record.size, 28u);
    EXPECT_EQ(record.flags, 0u);
    EXPECT_EQ(record.formId, 0x011E8480u);
    EXPECT_EQ(record.stamp, 0x2F04u);
    ASSERT_EQ(record.subrecords.size(), 3u);
    EXPECT_EQ(record.subrecords[0].type, "EDID");
    EXPECT_EQ(record.subrecords[0].data, bytesOf(std::string("Gold\0", 5)));
    EXPECT_EQ(record.subrecords[1].type, "FNAM");
    EXPECT_EQ(record.subrecords[1].data, Bytes{0x6C});
    EXPECT_EQ(record.subrecords[2].type, "FLTV");
    EXPECT_EQ(record.subrecords[2].data, (Bytes{0x00, 0x00, 0x80, 0x3F}));
}

TEST(Globals, ThreeGlobalsShareOneGroupAndTakeConsecutiveFormIds) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(
        work, tes3::Plugin().add(tes3::global("a", 's', 1)).add(tes3::global("b", 'l', 2)).add(tes3::global("c", 'f', 3)),
        &run);
    ASSERT_EQ(file.groups.size(), 1u);
    const tes4::Entry& group = file.groups[0];
    EXPECT_EQ(group.labelText(), "GLOB");
    EXPECT_EQ(group.groupType, 0u);
    EXPECT_EQ(group.stamp, 0x2F04u);
    EXPECT_EQ(group.size, 20u + 3u * (20u + 25u));
    ASSERT_EQ(group.children.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(group.children[i].formId, 0x011E8480u + i);
    EXPECT_NE(run.out.find("\tTotal Global variables:                 3\n"), std::string::npos);
}

TEST(Globals, MissingNameOrTypeIsFilledInAndWrongOrderIsSkipped) {
    WorkDir work;
    tes3::Record valueOnly("GLOB");
    valueOnly.sub("FLTV", tes3::floats({5.0f}));
    tes3::Record wrongOrder("GLOB");
    wrongOrder.sub("FNAM", {'s'}).ztext("NAME", "late").sub("FLTV", tes3::floats({1.0f}));
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(valueOnly).add(wrongOrder), &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "A GLOBal variable record did not follow NAME,FNAM,FLTV order. Ignoring!\n"
              "Not carried over:\n"
              "\tRecords skipped (see the messages above): 1: GLOB without an editor ID (1)\n");
    auto globals = file.records("GLOB");
    ASSERT_EQ(globals.size(), 1u);
    EXPECT_EQ(globals[0]->find("EDID")->data, Bytes{0});
    EXPECT_EQ(globals[0]->find("FNAM")->data, Bytes{'f'});
    EXPECT_EQ(globals[0]->find("FLTV")->data, tes3::floats({5.0f}));
    EXPECT_NE(run.out.find("\tTotal Global variables:                 1\n"), std::string::npos);
}

TEST(Globals, MalformedSubrecordsAreReportedAndSkipped) {
    WorkDir work;
    tes3::Record pastEnd("GLOB");
    pastEnd.raw({'N', 'A', 'M', 'E', 50, 0, 0, 0, 'x'});
    tes3::Record shortValue("GLOB");
    shortValue.ztext("NAME", "v").sub("FLTV", {1, 2});
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(pastEnd).add(shortValue).add(tes3::global("ok", 's', 1)),
                                &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "The GLOB record without an editor ID is malformed (its NAME subrecord of 50 bytes runs past the end "
              "of the record). Ignoring!\nThe GLOB record v is malformed (its FLTV subrecord holds 2 of 4 bytes). "
              "Ignoring!\n"
              "Not carried over:\n"
              "\tRecords skipped (see the messages above): 2: GLOB without an editor ID (1), GLOB v (1)\n");
    ASSERT_EQ(file.records("GLOB").size(), 1u);
    EXPECT_EQ(file.records("GLOB")[0]->formId, 0x011E8480u);  // skipped records take no FormID
}

TEST(Globals, LongIdentifiersKeepTheirWholeSize) {
    WorkDir work;
    std::string name(300, 'n');
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::global(name, 's', 1)));
    auto globals = file.records("GLOB");
    ASSERT_EQ(globals.size(), 1u);
    EXPECT_EQ(globals[0]->size, 324u);
    EXPECT_EQ(globals[0]->find("EDID")->data.size(), 301u);
}

TEST(Books, BookGetsItsTextAndTheFixedModelAndIcon) {
    WorkDir work;
    std::string text(100, 't');
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::book("bk01", "Ten chars!", text)));
    auto books = file.records("BOOK");
    ASSERT_EQ(books.size(), 1u);
    const tes4::Entry& book = *books[0];
    EXPECT_EQ(book.size, 276u);
    std::vector<std::string> types;
    for (const auto& sub : book.subrecords) types.push_back(sub.type);
    EXPECT_EQ(types, (std::vector<std::string>{"EDID", "FULL", "MODL", "MODB", "MODT", "ICON", "DESC", "DATA"}));
    EXPECT_EQ(book.find("EDID")->data, bytesOf(std::string("bk01\0", 5)));
    EXPECT_EQ(book.find("FULL")->data, bytesOf(std::string("Ten chars!\0", 11)));
    EXPECT_EQ(book.find("MODL")->data, bytesOf(std::string("Clutter\\Books\\Octavo03.NIF\0", 27)));
    EXPECT_EQ(book.find("MODB")->data, Bytes(4, 0));
    EXPECT_EQ(book.find("MODT")->data, Bytes(48, 0));
    EXPECT_EQ(book.find("ICON")->data, bytesOf(std::string("Clutter\\IconBook8.dds\0", 22)));
    EXPECT_EQ(book.find("DESC")->data, bytesOf(text + std::string(1, '\0')));
    EXPECT_EQ(book.find("DATA")->data, Bytes(10, 0));
}

TEST(Books, TextSearchRules) {
    WorkDir work;
    tes3::Record noText("BOOK");
    noText.ztext("NAME", "notext").ztext("FNAM", "No text");
    tes3::Record enchanted = tes3::book("ench", "Enchanted", "magic words");
    enchanted.ztext("ENAM", "some_enchantment");
    tes3::Record noModel("BOOK");  // model and icon are fixed even when the input has none
    noModel.ztext("NAME", "bare").ztext("MODL", "again").ztext("NAME", "repeat").sub("TEXT", tes3::text("found"));
    tes3::Record enchantmentOnly("BOOK");
    enchantmentOnly.ztext("NAME", "bad").ztext("ITEX", "icon.tga").ztext("ENAM", "ench");
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(noText).add(enchanted).add(noModel).add(enchantmentOnly),
                                &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "A BOOK variable record did not follow the NAME,MODL,FNAM,BKDT,SCRI,ITEX,TEXT order I expected. "
              "Ignoring!\n"
              "Not carried over:\n"
              "\tRecords skipped (see the messages above): 1: BOOK bad (1)\n");
    auto books = file.records("BOOK");
    ASSERT_EQ(books.size(), 3u);
    EXPECT_EQ(books[0]->find("DESC")->data, Bytes{0});
    EXPECT_EQ(books[0]->find("FULL")->data, bytesOf(std::string("No text\0", 8)));
    EXPECT_EQ(books[1]->find("DESC")->data, bytesOf(std::string("magic words\0", 12)));
    EXPECT_EQ(books[2]->find("EDID")->data, bytesOf(std::string("bare\0", 5)));
    EXPECT_EQ(books[2]->find("FULL")->data, Bytes{0});
    EXPECT_EQ(books[2]->find("DESC")->data, bytesOf(std::string("found\0", 6)));
    EXPECT_EQ(books[2]->find("MODL")->data.size(), 27u);
    EXPECT_EQ(file.groups.size(), 1u);  // one top group for all of them
}

TEST(Books, TextTooLargeForASubrecordSkipsOnlyThatBook) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(work,
                                tes3::Plugin()
                                    .add(tes3::book("huge", "Huge", std::string(65535, 'h')))
                                    .add(tes3::book("fits", "Fits", std::string(65534, 'f'))),
                                &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "The BOOK record huge cannot be converted: its DESC subrecord would hold 65536 bytes, more than "
              "65535. Ignoring!\n"
              "Not carried over:\n"
              "\tRecords skipped (see the messages above): 1: BOOK huge (1)\n");
    auto books = file.records("BOOK");
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books[0]->find("DESC")->data.size(), 65535u);
    EXPECT_EQ(books[0]->size, 4u + 4u + 65534u + 162u);  // beyond 16 bits: the whole size is kept
    EXPECT_NE(run.out.find("\tTotal Books:                            1\n"), std::string::npos);
}

TEST(TopGroups, RecordsAlwaysLandInAGroupOfTheirOwnType) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::global("g1", 's', 1))
        .add(tes3::book("b1", "B", "x"))
        .add(tes3::book("b2", "B", "y"))
        .add(tes3::plainRecord("ACTI", "skipped"))
        .add(tes3::global("g2", 's', 2));
    tes4::File file = convertOk(work, plugin);
    // One group per type, globals first; FormIDs still follow the input.
    ASSERT_EQ(file.groups.size(), 2u);
    EXPECT_EQ(file.groups[0].labelText(), "GLOB");
    ASSERT_EQ(file.groups[0].children.size(), 2u);
    EXPECT_EQ(file.groups[0].children[0].formId, 0x011E8480u);
    EXPECT_EQ(file.groups[0].children[1].formId, 0x011E8483u);
    EXPECT_EQ(file.groups[1].labelText(), "BOOK");
    ASSERT_EQ(file.groups[1].children.size(), 2u);
    EXPECT_EQ(file.groups[1].children[0].formId, 0x011E8481u);
    EXPECT_EQ(tes4::u32(work.outputBytes(), 30), 6u);
    // The groups fill the file exactly behind the header.
    size_t total = 85;
    for (const auto& group : file.groups) total += group.size;
    EXPECT_EQ(total, file.size);
}
