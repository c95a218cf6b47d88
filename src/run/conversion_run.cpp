#include "run/conversion_run.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "actors/actors.h"
#include "esm/fatal_error.h"
#include "esm/record_reader.h"
#include "esm/record_writer.h"
#include "landscape/landscape.h"
#include "services/conversion_services.h"
#include "records/globals_and_books.h"
#include "records/dialogue.h"
#include "records/journals.h"
#include "esm/input_plugin.h"
#include "esm/staging_folder.h"
#include "esm/master_list.h"
#include "run/command_line.h"
#include "run/deleted_records.h"
#include "run/path_checks.h"
#include "run/record_names.h"
#include "services/morrowind_types.h"
#include "run/temporary_files.h"

namespace landfer {

namespace {

// The lookup data directory, below the working directory.
const char* const lookupDirectory = "lfdat";

// One conversion run: the shared services and the subsystems, each
// owning its state; the records reach them by the table of types.
struct Conversion {
    Conversion(FILE* progress, FILE* messages, const CommandLine& commandLine, OutputPlugin output,
               StagingFolder staging)
        : services(progress, messages, lookupDirectory, std::move(output), std::move(staging)),
          globalsAndBooks(services.output(), services.problems()),
          actors(services.output(), services.problems(), services.lookups(), globalsAndBooks.convertedBooks()),
          landscape(services.output(), services.problems(), services.lookups(), globalsAndBooks.convertedBooks(),
                    actors.npcIndex(), commandLine.modelsPrefix.empty() ? nullptr : &commandLine.modelsPrefix),
          journals(services.output(), services.problems()),
          dialogue(services.output(), services.problems(), commandLine.inputPath) {}

    ConversionServices services;
    // Before the actors and the landscape, which look up the books it converts.
    GlobalsAndBooks globalsAndBooks;
    Actors actors;
    Landscape landscape;
    Journals journals;
    Dialogue dialogue;
    // Records of unhandled types since the last "." of progress.
    int skipCounter = 0;
    // The last topic (DIAL) was deleted: the responses (INFO) that follow
    // are its own, no entries of the journal before it.
    bool inDeletedTopic = false;

    void dialogueTopic(RecordData data) {
        dialogue.leaveTopic();
        journals.handleDialogueTopic(data);
        dialogue.handleTopic(data);
    }
    void response(RecordData data) {
        if (inDeletedTopic) return;
        if (journals.inJournal())
            journals.handleJournalEntry(data);
        else
            dialogue.handleResponse(data);
    }

    void dispatch(const std::vector<uint8_t>& record);
    void convert(Converter converter, RecordData data);
    void convertRecord(const MorrowindType& row, RecordData data);
    void finish();
    void writeDialogue();
    void writeQuestGroup();
    void printSummary() const;
};

void Conversion::dispatch(const std::vector<uint8_t>& record) {
    RecordData data{record.data() + inputHeaderSize, record.size() - inputHeaderSize};
    const MorrowindType* row = findMorrowindType(record.data());
    if (row == nullptr || row->converter == Converter::none) {
        if (++skipCounter == 10) {
            services.reporter().showProgress(".");
            skipCounter = 0;
        }
        return;
    }
    if (row->converter != Converter::shownOnly) {
        // A deleted record is no object of the plugin: nothing is made of it, and nothing is lost.
        bool deleted = isDeletedRecord(record);
        if (row->converter == Converter::dialogueTopic) inDeletedTopic = deleted;
        if (deleted) return;
    }
    services.reporter().showProgress(row->progress, row->flushProgress);
    if (row->converter != Converter::shownOnly) convertRecord(*row, data);
}

void Conversion::convert(Converter converter, RecordData data) {
    switch (converter) {
        case Converter::cell: return landscape.convertCell(data);
        case Converter::land: return landscape.convertLand(data);
        case Converter::landTexture: return landscape.handleLandTexture(data);
        case Converter::npc: return actors.convertNpc(data);
        case Converter::global: return globalsAndBooks.convertGlobal(data);
        case Converter::book: return globalsAndBooks.convertBook(data);
        case Converter::dialogueTopic: return dialogueTopic(data);
        case Converter::response: return response(data);
        case Converter::none:
        case Converter::shownOnly: return;
    }
}

// The one place where a record that cannot be converted is reported, by
// its type and editor ID.
void Conversion::convertRecord(const MorrowindType& row, RecordData data) {
    const char* type = row.type.data();
    try {
        convert(row.converter, data);
    } catch (const MalformedRecord& problem) {
        std::string id = recordEditorId(row, data);
        services.problems().tell(
            Problem::skipped(row.type.view(), id,
                             formatText("The %.4s record %s is malformed (%s). Ignoring!\n", type, id.c_str(),
                                        problem.what()))
                .placedAt(problem.at()));
    } catch (const OversizedSubrecord& problem) {
        services.problems().tellOversized(problem);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        // Told as it is, with nothing more allocated for where it is.
        fatal("Unable to allocate memory to convert a %.4s record of %zu bytes: %s\n", type, data.size,
              systemErrorText().c_str());
    }
}

// After the last record: one top group per record type, in the order
// Oblivion's tools keep, then the record count in the header.
void Conversion::finish() {
    journals.finishInput();  // the last journal topic has no following topic to close it
    landscape.groundFromMasters();  // the plugin's cells without land of their own
    landscape.placeReferences();  // now that every NPC of the plugin is known
    globalsAndBooks.writeGlobalGroup();
    landscape.writeBases({"ACTI"});
    globalsAndBooks.writeBookGroup();
    landscape.writeBases({"CONT", "DOOR", "LIGH", "STAT"});
    actors.writeNpcGroup();
    landscape.writeInteriors();
    landscape.writeWorld();
    writeDialogue();
    writeQuestGroup();
    services.output().plugin.finish();
}

// Now that every cell, NPC, global and journal quest the conditions name is known.
void Conversion::writeDialogue() {
    DialogueSources sources{actors.npcIndex(),        landscape.convertedCells(), journals.convertedQuests(),
                            globalsAndBooks.convertedGlobals(), services.lookups().classes, services.lookups().items};
    dialogue.writeTopicGroup(sources);
}

// The journal quests and the dialogue's quest, after it in FormID order.
void Conversion::writeQuestGroup() {
    if (!journals.hasQuests() && !dialogue.hasQuest()) return;
    services.output().plugin.openTopGroup("QUST");
    journals.writeQuests();
    dialogue.writeQuest();
    services.output().plugin.closeGroup(GroupType::top);
}

void Conversion::printSummary() const {
    services.reporter().progressText(
        "\n\nLandfer has finished. The new data has been written to %s\n\n\tTotal Exterior CELLs:        "
        "           %d\n\tTotal Interior CELLs:                   %d\n\tTotal LAND records:                     %d\n\tTotal NPC_ records:            "
        "         %d\n\tTotal Placed NPCs:                      %d\n\tTotal Placed objects:                   %d\n\tTotal Doors linked:                     %d\n\tTotal Items placed:                     %d\n\tTotal Inventory Swapped:          "
        "      %d\n\tTotal Global variables:                 %d\n\tTotal Books:                         "
        "   %d\n\tTotal Quests:                           %d\n\tTotal Journal entries:                  "
        "%d\n\tTotal Dialogue topics:                  %d\n\tTotal Dialogue responses:               %d\n",
        outputName, landscape.exteriorCellCount(), landscape.interiorCellCount(), landscape.landCount(),
        actors.npcCount(), landscape.placedNpcCount(), landscape.placedObjectCount(), landscape.linkedDoorCount(),
        landscape.placedItemCount(), actors.inventorySwapCount(), globalsAndBooks.globalCount(),
        globalsAndBooks.bookCount(), journals.questCount(), journals.journalEntryCount(), dialogue.topicCount(),
        dialogue.responseCount());
}

// How many lands may wait in the spill file for the second core: the
// references placed after the input grow with the input, and the worker
// compresses lands meanwhile (about one land per 128 KiB of input, 1024 at
// least, 8192 at most: 344 MiB of the staging folder).
size_t landsLeftForTheWorker(int64_t inputSize) {
    size_t lands = static_cast<size_t>(inputSize / (128 << 10));
    return std::min<size_t>(std::max<size_t>(lands, CompressionQueue::defaultWaitLimit), 8192);
}

// Checks every path of the run before anything is touched.
void checkPaths(const CommandLine& commandLine) {
    refusePluginPath("input", commandLine.inputPath, outputName);
    for (const std::string& master : commandLine.masterPaths) refusePluginPath("master", master, outputName);
    if (!commandLine.reportPath.empty()) {
        std::vector<std::string> plugins = commandLine.masterPaths;
        plugins.push_back(commandLine.inputPath);
        refuseReportPath(commandLine.reportPath, plugins, outputName, lookupDirectory);
    }
    refuseOutputThatIsNoRegularFile(outputName);
}

// The report file asked for is opened before the work starts, so that a
// run is not spent on a report that cannot be written; an older report
// stays as it is until the run has succeeded. Returns whether the run
// created the file (and so deletes it when it fails).
bool checkReportCanBeWritten(const std::string& reportPath) {
    std::error_code error;
    bool missing = std::filesystem::symlink_status(reportPath, error).type() == std::filesystem::file_type::not_found;
    FileWriter reportFile;
    if (!reportFile.open(reportPath, "ab")) cannotOpen(reportPath, "writing", systemErrorText());
    reportFile.close();
    return missing;
}

// A whole staged file takes the place of `place`, replacing what is there;
// on Windows too, where a plain rename does not replace. False, with
// errno set, when it cannot; EXDEV when the two lie on different devices.
bool moveIntoPlace(const std::string& staged, const std::string& place) {
#ifdef _WIN32
    if (MoveFileExA(staged.c_str(), place.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = GetLastError() == ERROR_NOT_SAME_DEVICE ? EXDEV : GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    return std::rename(staged.c_str(), place.c_str()) == 0;
#endif
}

// The partial output takes the place of LANDFER.ESP.
void putOutputInPlace(const std::string& partialOutput) {
    if (moveIntoPlace(partialOutput, outputName)) return;
    fatal("Unable to replace %s with the converted plugin %s: %s\n", outputName, partialOutput.c_str(),
          systemErrorText().c_str());
}

void writeReport(const std::string& path, const std::string& csv) {
    FileWriter reportFile;
    if (!reportFile.open(path, "wb")) cannotOpen(path, "writing", systemErrorText());
    reportFile.write(csv);
    reportFile.close();
}

// The whole staged report takes the place of the report asked for (of the
// file it links to); on another device, where it cannot be moved, it is
// written there anew.
void putReportInPlace(const std::string& partialReport, const std::string& reportPath, const std::string& csv) {
    std::error_code error;
    std::string place = std::filesystem::weakly_canonical(reportPath, error).string();
    if (error) place = reportPath;
    if (moveIntoPlace(partialReport, place)) return;
    if (errno == EXDEV) return writeReport(reportPath, csv);
    fatal("Unable to replace %s with the report %s: %s\n", reportPath.c_str(), partialReport.c_str(),
          systemErrorText().c_str());
}

// The run from the opening of the input to the report, once the paths are
// checked and the files that earlier versions left deleted.
void convert(const CommandLine& commandLine, FILE* progress, FILE* messages) {
    const std::string& inputName = commandLine.inputPath;
    InputPlugin input;
    input.open(inputName);
    // Removed with everything in it when the run ends, however it ends.
    StagingFolder staging = StagingFolder::create();
    const std::string partialOutput = staging.path(partialOutputName);
    const std::string partialReport = staging.path(partialReportName);
    FileWriter outputFile;
    if (!outputFile.open(partialOutput, "wb")) cannotOpen(partialOutput, "writing", systemErrorText());
    Conversion run(progress, messages, commandLine, OutputPlugin(std::move(outputFile)), std::move(staging));
    ConversionServices& services = run.services;
    services.reporter().progressText("Landfer is now reading %s ... \n", inputName.c_str());
    // The base objects of each master in load order, then the input's own,
    // so that what is defined after the records using it is known too.
    services.masters().read(commandLine.masterPaths, readPluginMasterList(inputName), services.baseObjects(),
                            services.problems());
    services.baseObjects().readPlugin(inputName, false, services.problems());
    run.services.output().plugin.writeHeader();
    run.services.output().deflater.queue().setWaitLimit(landsLeftForTheWorker(input.size()));

    std::vector<uint8_t> record;
    while (input.readRecord(record)) {
        run.services.problems().enterRecord(inputName, input.recordOffset(), record.data(), record.size());
        run.dispatch(record);
    }
    run.services.problems().leaveRecord();

    input.close();
    run.finish();
    // Both whole before either takes its place: a report that cannot be
    // written leaves the older output as well as the older report.
    const std::string csv = commandLine.reportPath.empty() ? std::string() : lossCsv(run.services.losses());
    if (!commandLine.reportPath.empty()) writeReport(partialReport, csv);
    putOutputInPlace(partialOutput);
    if (!commandLine.reportPath.empty()) putReportInPlace(partialReport, commandLine.reportPath, csv);
    run.printSummary();
    // The report follows the summary, on a terminal too.
    std::fflush(progress);
    printLossReport(run.services.reporter(), run.services.losses());
}

}  // namespace

int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages) {
    CommandLine commandLine = parseCommandLine(argc, argv, progress);
    if (commandLine.done) return 0;
    checkPaths(commandLine);

    deleteTemporaryFiles();  // left by an earlier version
    bool reportCreated = false;
    try {
        if (!commandLine.reportPath.empty()) reportCreated = checkReportCanBeWritten(commandLine.reportPath);
        convert(commandLine, progress, messages);
    } catch (...) {
        // Whatever ended the run, its files are closed and its staging
        // folder is removed by now: nothing of it is left but the message,
        // and an older LANDFER.ESP and report are whole.
        if (reportCreated) std::remove(commandLine.reportPath.c_str());
        throw;
    }
    return 0;
}

}  // namespace landfer
