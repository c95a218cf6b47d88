// One quest stage made from one Morrowind journal entry, and its block of
// subrecords in the QUST record: INDX stage index, QSDT stage flags, CNAM
// log text, SCHR an empty result script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "esm/record_writer.h"
#include "esm/file_writer.h"
#include "services/problems.h"

namespace landfer {

struct JournalStage {
    uint16_t index = 0;
    bool completesQuest = false;
    std::string text;
};

void addStageBlock(RecordWriter& record, const JournalStage& stage);

// True when the subrecords that add writes fit a record of `type` named
// editorId (a journal's pieces are checked when they come, written later);
// else the problem is told (as a loss of partLost when given), and false.
template <typename Add>
bool subrecordsFit(Problems& problems, RecordType type, std::string_view editorId, Add add,
                   std::optional<LossKind> partLost = std::nullopt) {
    MemorySink unused;
    RecordWriter probe(unused);
    probe.beginSubrecords(type, editorId);
    try {
        add(probe);
        probe.checkSizes();
    } catch (const OversizedSubrecord& problem) {
        problems.tellOversized(problem, partLost);
        return false;
    }
    return true;
}

}  // namespace landfer
