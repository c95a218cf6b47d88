#include "run/conversion_run.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "actors/actors.h"
#include "esm/fatal_error.h"
#include "esm/record_reader.h"
#include "landscape/landscape.h"
#include "lookup/conversion_services.h"
#include "records/records.h"
#include "esm/input_plugin.h"
#include "run/command_line.h"
#include "run/output_file_checks.h"
#include "run/temporary_files.h"

namespace landfer {

namespace {

const char* const outputName = "LANDFER.ESP";

// One conversion run: the shared services and the subsystems, each
// owning its state; the records reach them through the dispatch table.
struct Conversion {
    Conversion(FILE* progress, FILE* messages, OutputPlugin output)
        : services(progress, messages, "lfdat", std::move(output)), actors(services), landscape(services, actors.npcIndex()),
          records(services) {}

    ConversionServices services;
    Actors actors;
    Landscape landscape;
    Records records;
    // Records of unhandled types since the last "." of progress.
    int skipCounter = 0;

    void cell(RecordData data) { landscape.convertCell(data); }
    void land(RecordData data) { landscape.convertLand(data); }
    void landTexture(RecordData data) { landscape.handleLandTexture(data); }
    void npc(RecordData data) { actors.convertNpc(data); }
    void global(RecordData data) { records.convertGlobal(data); }
    void book(RecordData data) { records.convertBook(data); }
    void dialogueTopic(RecordData data) { records.handleDialogueTopic(data); }
    void journalEntry(RecordData data) {
        if (records.inJournal()) records.handleJournalEntry(data);
    }

    void dispatch(const std::vector<uint8_t>& record);
    void finish();
    void printSummary() const;
};

// One row per record type the run knows, in the order they are tested.
// Types with a null converter are not converted; their progress
// character is still written.
struct DispatchRow {
    const char* type;
    const char* progress;
    bool flush;
    void (Conversion::*convert)(RecordData);
};

const DispatchRow dispatchTable[] = {
    {"CELL", "C", true, &Conversion::cell},
    {"LAND", "L", false, &Conversion::land},
    {"NPC_", "N", false, &Conversion::npc},
    {"GLOB", "G", false, &Conversion::global},
    {"BOOK", "B", false, &Conversion::book},
    {"LTEX", "", false, &Conversion::landTexture},
    {"DIAL", "D", true, &Conversion::dialogueTopic},
    {"INFO", "", true, &Conversion::journalEntry},
    {"STAT", "", false, nullptr},
};

void Conversion::dispatch(const std::vector<uint8_t>& record) {
    RecordData data{record.data() + inputHeaderSize, record.size() - inputHeaderSize};
    const char* type = reinterpret_cast<const char*>(record.data());
    for (const DispatchRow& row : dispatchTable) {
        if (std::memcmp(type, row.type, 4) != 0) continue;
        services.reporter.showProgress(row.progress, row.flush);
        if (row.convert == nullptr) return;
        // The one place where a record that cannot be converted is reported.
        try {
            (this->*row.convert)(data);
        } catch (const MalformedRecord& problem) {
            services.reporter.report("A %.4s record is malformed (%s). Ignoring!\n", row.type, problem.what());
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            fatal("Unable to allocate memory to convert a %.4s record of %zu bytes: %s\n", row.type, data.size,
                  systemErrorText().c_str());
        }
        return;
    }
    if (++skipCounter == 10) {
        services.reporter.showProgress(".");
        skipCounter = 0;
    }
}

// After the last record: one top group per record type, in the order
// Oblivion's tools keep, then the record count in the header.
void Conversion::finish() {
    records.closeOpenQuest();  // the last journal topic has no following topic to close it
    records.writeGlobalGroup();
    records.writeBookGroup();
    actors.writeNpcGroup();
    landscape.writeWorld();
    records.writeQuestGroup();
    services.output.finish();
    actors.closeFiles();
    landscape.closeFiles();
}

void Conversion::printSummary() const {
    services.reporter.progressText(
        "\n\nLandfer has finished. The new data has been written to %s\n\n\tTotal Exterior CELLs:        "
        "           %d\n\tTotal LAND records:                     %d\n\tTotal NPC_ records:            "
        "         %d\n\tTotal Placed NPCs:                      %d\n\tTotal Inventory Swapped:          "
        "      %d\n\tTotal Global variables:                 %d\n\tTotal Books:                         "
        "   %d\n\tTotal Quests:                           %d\n\tTotal Journal entries:                  "
        "%d\n",
        outputName, landscape.exteriorCellCount, landscape.landCount, actors.npcCount(), landscape.placedNpcCount,
        actors.inventorySwapCount(), records.globalCount(), records.bookCount(), records.questCount(),
        records.journalEntryCount());
}

}  // namespace

int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages) {
    CommandLine commandLine = parseCommandLine(argc, argv, progress);
    if (commandLine.done) return 0;

    std::string inputName = argv[argc - 1];
    refuseInputThatIsOutput(inputName, outputName);
    deleteTemporaryFiles();  // left by an earlier run

    InputPlugin input;
    input.open(inputName);
    Reporter(progress, messages).progressText("Landfer is now reading %s ... \n", inputName.c_str());

    // The report file asked for is created before the work starts, so that
    // a run is not spent on a report that cannot be written; it never
    // takes the place of the plugin read or the one written.
    FileWriter reportFile;
    const std::string& reportPath = commandLine.reportPath;
    if (!reportPath.empty()) {
        refuseReportThatIsAPlugin(reportPath, inputName, outputName);
        if (!reportFile.open(reportPath, "wb"))
            fatal("Unable to open %s for writing: %s\n", reportPath.c_str(), systemErrorText().c_str());
    }

    refuseOutputThatIsNoRegularFile(outputName);
    FileWriter outputFile;
    if (!outputFile.open(outputName, "wb"))
        fatal("Unable to open %s for writing: %s\n", outputName, systemErrorText().c_str());
    Conversion run(progress, messages, OutputPlugin(std::move(outputFile)));
    run.services.output.writeHeader();

    std::vector<uint8_t> record;
    while (input.readRecord(record)) run.dispatch(record);

    input.close();
    run.finish();
    run.printSummary();
    deleteTemporaryFiles();
    // The report follows the summary, on a terminal too.
    std::fflush(progress);
    printLossReport(run.services.reporter, run.services.losses);
    if (reportFile.isOpen()) {
        reportFile.write(lossCsv(run.services.losses));
        reportFile.close();
    }
    return 0;
}

}  // namespace landfer
