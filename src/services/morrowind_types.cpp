#include "services/morrowind_types.h"

namespace landfer {

namespace {

// Converted types first, in the order the dispatch has always tested them.
const MorrowindType morrowindTypes[] = {
    {"CELL", Converter::cell, "C", true, false, "NAME"},
    {"LAND", Converter::land, "L", false, false, "INTV"},
    {"NPC_", Converter::npc, "N", false, true, "NAME"},
    {"GLOB", Converter::global, "G", false, false, "NAME"},
    {"BOOK", Converter::book, "B", false, true, "NAME"},
    {"LTEX", Converter::landTexture, "", false, false, "NAME"},
    {"DIAL", Converter::dialogueTopic, "D", true, false, "NAME"},
    {"INFO", Converter::response, "", true, false, "INAM"},
    {"STAT", Converter::shownOnly, "", false, true, "NAME"},
    {"ACTI", Converter::none, "", false, true, "NAME"},
    {"ALCH", Converter::none, "", false, true, "NAME"},
    {"APPA", Converter::none, "", false, true, "NAME"},
    {"ARMO", Converter::none, "", false, true, "NAME"},
    {"CLOT", Converter::none, "", false, true, "NAME"},
    {"CONT", Converter::none, "", false, true, "NAME"},
    {"CREA", Converter::none, "", false, true, "NAME"},
    {"DOOR", Converter::none, "", false, true, "NAME"},
    {"INGR", Converter::none, "", false, true, "NAME"},
    {"LEVC", Converter::none, "", false, true, "NAME"},
    {"LEVI", Converter::none, "", false, true, "NAME"},
    {"LIGH", Converter::none, "", false, true, "NAME"},
    {"LOCK", Converter::none, "", false, true, "NAME"},
    {"MISC", Converter::none, "", false, true, "NAME"},
    {"PROB", Converter::none, "", false, true, "NAME"},
    {"REPA", Converter::none, "", false, true, "NAME"},
    {"WEAP", Converter::none, "", false, true, "NAME"},
};

}  // namespace

const MorrowindType* findMorrowindType(const uint8_t* header) {
    const RecordType type = RecordType::at(header);
    for (const MorrowindType& row : morrowindTypes)
        if (row.type == type) return &row;
    return nullptr;
}

bool isBaseObjectType(const uint8_t* header) {
    const MorrowindType* row = findMorrowindType(header);
    return row != nullptr && row->baseObject;
}

}  // namespace landfer
