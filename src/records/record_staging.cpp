#include "records/record_staging.h"

namespace landfer {

bool stageRecord(ConversionServices& services, StagedRecords& records, const char* type, std::string_view editorId,
                 const SubrecordBuffer& data) {
    if (services.rejectOversized(type, editorId, data)) return false;
    writePlainRecord(records.file(), services.formIds.take(), type, data.bytes());
    records.recordWritten();
    return true;
}

}  // namespace landfer
