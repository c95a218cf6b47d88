// Globals, books and quests: Morrowind GLOB and BOOK records become their
// Oblivion counterparts, waiting in "globals.tmp" and "books.tmp" for their
// top groups; every journal topic (a DIAL of type 4) becomes an Oblivion
// QUST whose editor ID is the topic name and whose stages are the topic's
// journal entries (its INFO records), in input order.
//
// The stages of the open quest are staged in "quest_indx.tmp"; when the
// quest closes (at the next topic or the end of the input) its finished
// record goes to "quest.tmp", taking its FormID then. At the end the quest
// file becomes the output's last top group.
#pragma once

#include <cstdint>
#include <string>

#include "esm/record_reader.h"
#include "esm/staged_records.h"
#include "lookup/conversion_services.h"

namespace landfer {

class Records {
public:
    static constexpr const char* globalsFileName = "globals.tmp";
    static constexpr const char* booksFileName = "books.tmp";
    static constexpr const char* questIndexFileName = "quest_indx.tmp";
    static constexpr const char* questFileName = "quest.tmp";

    explicit Records(ConversionServices& services) : services_(services) {}

    // Globals keep identifier, type character and value.
    void convertGlobal(RecordData record);
    // Books keep identifier, name and text, with one fixed model and icon.
    void convertBook(RecordData record);
    // A DIAL record: closes the open quest, then opens one if the topic is a journal.
    void handleDialogueTopic(RecordData record);
    // Whether INFO records now are entries of a journal.
    bool inJournal() const { return topicKind_ == 2; }
    // An INFO record of a journal topic: stages one quest stage.
    void handleJournalEntry(RecordData record);
    // Writes the open quest, if any, to the quest file. Called by every topic
    // and once more at the end of the input for the last journal.
    void closeOpenQuest();

    // The top groups, appended to the output (nothing without records).
    void writeGlobalGroup() { globals_.copyInto(services_.output); }
    void writeBookGroup() { books_.copyInto(services_.output); }
    void writeQuestGroup();

    int globalCount() const { return globalCount_; }
    int bookCount() const { return bookCount_; }
    int questCount() const { return questCount_; }
    int journalEntryCount() const { return journalEntryCount_; }

private:
    void writeStagedQuest();
    // Writes a converted record to its staging file; false (after the
    // message) when a subrecord is too large.
    bool stage(StagedRecords& records, const char* type, const std::string& identifier, const SubrecordBuffer& data);

    ConversionServices& services_;
    StagedRecords globals_{globalsFileName, "GLOB"};
    StagedRecords books_{booksFileName, "BOOK"};

    // 0 before any topic, 1 after an ordinary topic, 2 after a journal.
    // Responses (INFO) are converted only while it is 2.
    uint8_t topicKind_ = 0;
    // A journal topic has been met and its quest is being collected.
    bool questOpen_ = false;
    // Name of the most recent topic: the editor ID of its quest.
    std::string questName_;
    // The open quest's name, from the first journal entry that names it
    // (QSTN); without one the quest has no FULL.
    bool questHasTitle_ = false;
    std::string questTitle_;
    // Bytes of stage blocks staged for the open quest.
    uint32_t questRecordSize_ = 0;
    // Stage blocks staged for the open quest; they count as journal entries
    // once their quest has been written.
    int questStageCount_ = 0;
    // Data sizes of all quest records written to the quest file.
    uint32_t questBytes_ = 0;

    int globalCount_ = 0;
    int bookCount_ = 0;
    int questCount_ = 0;
    int journalEntryCount_ = 0;
};

}  // namespace landfer
