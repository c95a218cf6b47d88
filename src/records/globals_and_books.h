// Globals and books: Morrowind GLOB and BOOK records become their Oblivion
// counterparts, taking their FormIDs as they are converted and waiting in
// the run's "globals.tmp" and "books.tmp" for their top groups.
#pragma once

#include "esm/record_reader.h"
#include "esm/staged_records.h"
#include "services/conversion_services.h"
#include "services/converted_ids.h"

namespace landfer {

class GlobalsAndBooks {
public:
    static constexpr const char* globalsFileName = "globals.tmp";
    static constexpr const char* booksFileName = "books.tmp";

    explicit GlobalsAndBooks(ConversionServices& services)
        : services_(services),
          globals_(services.staging.path(globalsFileName), "GLOB"),
          books_(services.staging.path(booksFileName), "BOOK") {}

    // Globals keep identifier, type character and value.
    void convertGlobal(RecordData record);
    // Books keep identifier, name and text, with one fixed model and icon.
    void convertBook(RecordData record);

    // The top groups, appended to the output (nothing without records).
    void writeGlobalGroup() { globals_.copyInto(services_.output); }
    void writeBookGroup() { books_.copyInto(services_.output); }

    // The globals converted so far, by name.
    const ConvertedIds& convertedGlobals() const { return globalIds_; }

    int globalCount() const { return globalCount_; }
    int bookCount() const { return bookCount_; }

private:
    ConversionServices& services_;
    StagedRecords globals_;
    StagedRecords books_;
    ConvertedIdIndex globalIds_;
    int globalCount_ = 0;
    int bookCount_ = 0;
};

}  // namespace landfer
