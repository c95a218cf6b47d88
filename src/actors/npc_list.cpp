#include "actors/npc_list.h"

#include "plugin/fatal_error.h"
#include "plugin/file_writer.h"

namespace landfer {

void appendNpcListEntry(RunState& run, std::string_view editorId, uint32_t formId) {
    if (editorId.size() > maxListedEditorIdLength) {
        run.report("The NPC %.*s cannot be placed in cells: its editor ID is longer than %zu characters.\n",
                   static_cast<int>(editorId.size()), editorId.data(), maxListedEditorIdLength);
        return;
    }
    FileWriter list;
    if (!list.open(npcListName, "ab"))
        fatal("Unable to open %s for appending: %s\n", npcListName, systemErrorText().c_str());
    list.writeByte(static_cast<uint8_t>(editorId.size() + 1));
    list.write(editorId);
    list.writeByte(0);
    list.writeUint32(formId);
    list.close();
}

}  // namespace landfer
