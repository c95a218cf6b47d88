#include "services/item_choice.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

bool chooseItem(const Lookups& lookups, const ConvertedIds& books, std::string_view itemId, ItemChoice& choice) {
    choice = ItemChoice();
    if (lookups.items.find(itemId, choice.formId)) return true;
    if (books.find(itemId, choice.formId)) return true;
    const BaseObject* item = lookups.baseObjects.find(itemId);
    KindChoice kind;
    if (item == nullptr || !itemByKind(*item, kind)) return false;
    choice.formId = kind.formId;
    choice.byKind = kind.editorId;
    return true;
}

void addInventory(RecordWriter& record, const std::vector<InventoryItem>& items) {
    for (const InventoryItem& item : items) {
        std::vector<uint8_t>& cnto = record.subrecord("CNTO");
        appendUint32(cnto, item.formId);
        appendUint32(cnto, item.count);
    }
}

std::string byKindText(const ItemChoice& choice) {
    return formatText("%s %08X", choice.byKind != nullptr ? choice.byKind : "", choice.formId);
}

}  // namespace landfer
