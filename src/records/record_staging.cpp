#include "records/record_staging.h"

namespace landfer {

bool stageRecord(ConversionServices& services, StagedRecords& records, const char* type, std::string_view editorId,
                 const SubrecordBuffer& data, uint32_t* formId) {
    if (services.rejectOversized(type, editorId, data)) return false;
    const uint32_t taken = services.formIds.take();
    if (formId != nullptr) *formId = taken;
    writePlainRecord(records.file(), taken, type, data.bytes());
    records.recordWritten();
    return true;
}

}  // namespace landfer
