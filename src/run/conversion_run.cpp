#include "run/conversion_run.h"

#include <getopt.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "actors/npc_conversion.h"
#include "landscape/cell_conversion.h"
#include "landscape/cell_staging.h"
#include "landscape/land_conversion.h"
#include "landscape/land_texture_lookup.h"
#include "plugin/fatal_error.h"
#include "plugin/record_reader.h"
#include "records/books.h"
#include "records/global_variables.h"
#include "records/quests.h"
#include "run/input_plugin.h"
#include "run/output_file_checks.h"
#include "run/temporary_files.h"

namespace landfer {

namespace {

const char* const outputName = "LANDFER.ESP";

using Converter = int (*)(RunState&, RecordData);

// One row per record type the run knows, in the order they are tested.
// Types with a null converter are not converted yet; their progress
// character is still written.
struct DispatchRow {
    const char* type;
    const char* progress;
    bool flush;
    Converter convert;
};

const DispatchRow dispatchTable[] = {
    {"CELL", "C", true, convertCell},
    {"LAND", "L", false, convertLand},
    {"NPC_", "N", false, convertNpc},
    {"GLOB", "G", false, convertGlobal},
    {"BOOK", "B", false, convertBook},
    {"LTEX", "", false, handleLandTexture},
    {"DIAL", "D", true, handleDialogueTopic},
    {"INFO", "", true, handleJournalEntry},
    {"STAT", "", false, nullptr},
};

// Handles the command line; returns true when the version line was asked for.
bool parseCommandLine(int argc, char* argv[], FILE* progress) {
    const char* self = argc > 0 ? argv[0] : "landfer";
    if (argc < 2)
        fatal("\n  ---------------------------------------------------------------------------\n | Landfer: A "
              "program to import TES3 Morrowind landscapes into TES4 Oblivion |\n  "
              "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n\nUsage: %s "
              "input_filename.esp\n\n",
              self);
    optind = 0;  // a full restart of getopt, so the run can be repeated in-process
    int option;
    while ((option = getopt(argc, argv, "vV")) != -1) {
        if (option == 'v' || option == 'V') {
            std::fprintf(progress, "LANDFER Version 0.25: (Nov-2006->Feb-2007): by the Landfer developers\n");
            return true;
        }
        fatal("Usage: %s [-V] original.esp\n\n\t-V : Display current Version, then exit.\n", self);
    }
    return false;
}

void dispatchRecord(RunState& run, const std::vector<uint8_t>& record) {
    RecordData data{record.data() + inputHeaderSize, record.size() - inputHeaderSize};
    const char* type = reinterpret_cast<const char*>(record.data());
    for (const DispatchRow& row : dispatchTable) {
        if (std::memcmp(type, row.type, 4) != 0) continue;
        if (std::strcmp(row.type, "CELL") == 0) run.currentCellName.clear();
        run.showProgress(row.progress, row.flush);
        bool convert = row.convert != nullptr;
        if (std::strcmp(row.type, "INFO") == 0) convert = convert && run.quests.currentTopicKind == 2;
        if (!convert) return;
        try {
            row.convert(run, data);
        } catch (const MalformedRecord& problem) {
            run.report("A %.4s record is malformed (%s). Ignoring!\n", row.type, problem.what());
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            fatal("Unable to allocate memory to convert a %.4s record of %zu bytes: %s\n", row.type, data.size,
                  systemErrorText().c_str());
        }
        return;
    }
    if (++run.skipCounter == 10) {
        run.showProgress(".");
        run.skipCounter = 0;
    }
}

void printSummary(const RunState& run) {
    std::fprintf(run.progress,
                 "\n\nLandfer has finished. The new data has been written to %s\n\n\tTotal Exterior CELLs:        "
                 "           %d\n\tTotal LAND records:                     %d\n\tTotal NPC_ records:            "
                 "         %d\n\tTotal Placed NPCs:                      %d\n\tTotal Inventory Swapped:          "
                 "      %d\n\tTotal Global variables:                 %d\n\tTotal Books:                         "
                 "   %d\n\tTotal Quests:                           %d\n\tTotal Journal entries:                  "
                 "%d\n",
                 outputName, run.exteriorCellCount, run.landCount, run.npcCount, run.placedNpcCount,
                 run.inventorySwapCount, run.globalCount, run.bookCount, run.questCount, run.journalEntryCount);
}

}  // namespace

uint32_t recordCountFor(const RunState& run) {
    uint32_t count = 2u * (12u * run.landCount + run.npcCount + run.placedNpcCount) + 2u;
    if (run.bookCount > 0) count += run.bookCount + 1u;
    if (run.globalCount > 0) count += run.globalCount + 1u;
    return count - 1u;
}

int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages, const RunOptions& options) {
    if (parseCommandLine(argc, argv, progress)) return 0;

    RunState run;
    run.progress = progress;
    run.messages = messages;
    run.caches.enabled = options.caches;
    run.caches.twoCoresAllowed = options.twoCores;
    std::string inputName = argv[argc - 1];
    refuseInputThatIsOutput(inputName, outputName);
    deleteTemporaryFilesBeforeRun();

    InputPlugin input;
    input.open(inputName);
    std::fprintf(progress, "Landfer is now reading %s ... \n", inputName.c_str());

    refuseOutputThatIsNoRegularFile(outputName);
    FileWriter outputFile;
    if (!outputFile.open(outputName, "wb"))
        fatal("Unable to open %s for writing: %s\n", outputName, systemErrorText().c_str());
    run.output = OutputPlugin(std::move(outputFile));
    writeFileHeader(run.output.file());

    std::vector<uint8_t> record;
    while (input.readRecord(record)) {
        run.currentCellGridX = 0;
        run.currentCellGridY = 0;
        dispatchRecord(run, record);
    }

    input.close();
    writeWaitingCells(run);
    closeOpenQuest(run);  // the last journal topic has no following topic to close it
    if (run.quests.questBytes > 0) writeQuestGroup(run, questFileName);
    run.output.finish(recordCountFor(run));
    closeCachedFiles(run.caches);
    printSummary(run);
    deleteTemporaryFilesAfterRun();
    return 0;
}

}  // namespace landfer
