#include "services/conversion_services.h"

namespace landfer {

bool ConversionServices::rejectOversized(std::string_view recordType, std::string_view editorId,
                                         const SubrecordBuffer& data) const {
    if (!data.tooLarge()) return false;
    reporter.report(
        "The %.*s record %.*s cannot be converted: its %.4s subrecord would hold %zu bytes, more than 65535. "
        "Ignoring!\n",
        static_cast<int>(recordType.size()), recordType.data(), static_cast<int>(editorId.size()), editorId.data(),
        data.tooLargeType().data(), data.tooLargeSize());
    return true;
}

}  // namespace landfer
