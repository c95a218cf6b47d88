// Staging a converted record for its top group.
#pragma once

#include <string_view>

#include "esm/plugin_writer.h"
#include "esm/staged_records.h"
#include "services/conversion_services.h"

namespace landfer {

// Writes the record to its staging file, taking its FormID now; false
// (after the message naming type and editor ID) when a subrecord is too
// large to be written. `formId`, when given, receives the record's FormID.
bool stageRecord(ConversionServices& services, StagedRecords& records, const char* type, std::string_view editorId,
                 const SubrecordBuffer& data, uint32_t* formId = nullptr);

}  // namespace landfer
