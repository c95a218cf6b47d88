// Morrowind's dialogue records as the input gives them: a topic (DIAL) and
// one of its responses (INFO), read whole into plain structs. The readers
// are quiet: they say nothing, and raise MalformedRecord only for a
// subrecord too short for its layout. The journals and the dialogue read
// their records through them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "esm/record_reader.h"

namespace landfer {

// DIAL DATA's topic types.
enum class MorrowindTopicType : int { topic = 0, voice = 1, greeting = 2, persuasion = 3, journal = 4 };

struct MorrowindTopic {
    std::string name;  // NAME
    int type = -1;     // DATA's first byte; -1 without a DATA
};

// One filter of a response: the SCVR text and its INTV or FLTV value.
struct MorrowindFilter {
    std::string rule;  // slot, kind, details, comparison, then the name
    bool isFloat = false;
    int32_t intValue = 0;
    float floatValue = 0;

    double value() const { return isFloat ? static_cast<double>(floatValue) : static_cast<double>(intValue); }
};

struct MorrowindResponse {
    std::string id, previous, next;  // INAM, PNAM, NNAM
    bool hasData = false;
    int32_t disposition = 0;  // the journal index in a journal's entries
    int8_t npcRank = -1, sex = -1, pcRank = -1;
    std::string speaker, race, className, faction, cell, pcFaction, sound;  // ONAM RNAM CNAM FNAM ANAM DNAM SNAM
    std::string text;          // NAME, up to a 0 byte if it holds one
    std::string resultScript;  // BNAM
    std::vector<MorrowindFilter> filters;
    bool namesQuest = false, finishesQuest = false, restartsQuest = false;  // QSTN, QSTF, QSTR
    bool deleted = false;                                                  // DELE
};

MorrowindTopic readMorrowindTopic(RecordData record);
MorrowindResponse readMorrowindResponse(RecordData record);

}  // namespace landfer
