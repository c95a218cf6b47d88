#include "services/item_choice.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

bool chooseItem(ConversionServices& services, std::string_view itemId, ItemChoice& choice) {
    choice = ItemChoice();
    if (services.items.find(itemId, choice.formId)) return true;
    if (services.convertedBooks.find(itemId, choice.formId)) return true;
    const BaseObject* item = services.baseObjects.find(itemId);
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
