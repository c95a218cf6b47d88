// Globals and books: Morrowind GLOB and BOOK records become their Oblivion
// counterparts, taking their FormIDs as they are converted and waiting in
// the run's "globals.tmp" and "books.tmp" for their top groups.
#pragma once

#include "esm/record_reader.h"
#include "esm/staged_records.h"
#include "services/converted_ids.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class GlobalsAndBooks {
public:
    static constexpr const char* globalsFileName = "globals.tmp";
    static constexpr const char* booksFileName = "books.tmp";

    GlobalsAndBooks(RecordOutput output, Problems& problems)
        : output_(output),
          problems_(problems),
          globals_(output.staging.path(globalsFileName), "GLOB"),
          books_(output.staging.path(booksFileName), "BOOK") {}

    // Globals keep identifier, type character and value.
    void convertGlobal(RecordData record);
    // Books keep identifier, name and text, with one fixed model and icon.
    void convertBook(RecordData record);

    // The top groups, appended to the output (nothing without records).
    void writeGlobalGroup() { globals_.copyInto(output_.plugin); }
    void writeBookGroup() { books_.copyInto(output_.plugin); }

    // The globals converted so far, by name.
    const ConvertedIds& convertedGlobals() const { return globalIds_; }
    // The books converted so far, by Morrowind id: a book of the plugin
    // carried, contained or lying in the world becomes the book made of it.
    const ConvertedIds& convertedBooks() const { return bookIds_; }

    int globalCount() const { return globalCount_; }
    int bookCount() const { return bookCount_; }

private:
    RecordOutput output_;
    Problems& problems_;
    StagedRecords globals_;
    StagedRecords books_;
    ConvertedIdIndex globalIds_;
    ConvertedIdIndex bookIds_;
    int globalCount_ = 0;
    int bookCount_ = 0;
};

}  // namespace landfer
