#include "actors/npc_index.h"

#include <cstring>

#include "esm/fatal_error.h"

namespace landfer {

void NpcIndex::add(const Reporter& reporter, std::string_view editorId, uint32_t formId) {
    if (editorId.size() > maxEditorIdLength) {
        reporter.report("The NPC %.*s cannot be placed in cells: its editor ID is longer than %zu characters.\n",
                        static_cast<int>(editorId.size()), editorId.data(), maxEditorIdLength);
        return;
    }
    if (!file_.isOpen() && !file_.open(fileName, "ab"))
        fatal("Unable to open %s for appending: %s\n", fileName, systemErrorText().c_str());
    file_.writeByte(static_cast<uint8_t>(editorId.size() + 1));
    file_.write(editorId);
    file_.writeByte(0);
    file_.writeUint32(formId);
    file_.flush();
    std::array<uint8_t, 4> bytes;
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(formId >> (8 * i));
    entries_.emplace(std::string(editorId), bytes);
}

bool NpcIndex::find(const std::string& id, uint8_t formId[4]) const {
    auto entry = entries_.find(id);
    if (entry == entries_.end()) return false;
    std::memcpy(formId, entry->second.data(), 4);
    return true;
}

}  // namespace landfer
