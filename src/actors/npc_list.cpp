#include "actors/npc_list.h"

#include "esm/fatal_error.h"
#include "esm/file_writer.h"

namespace landfer {

namespace {

void writeEntry(FileWriter& list, std::string_view editorId, uint32_t formId) {
    list.writeByte(static_cast<uint8_t>(editorId.size() + 1));
    list.write(editorId);
    list.writeByte(0);
    list.writeUint32(formId);
}

void openList(FileWriter& list) {
    if (!list.open(npcListName, "ab"))
        fatal("Unable to open %s for appending: %s\n", npcListName, systemErrorText().c_str());
}

}  // namespace

void appendNpcListEntry(RunState& run, std::string_view editorId, uint32_t formId) {
    if (editorId.size() > maxListedEditorIdLength) {
        run.reporter.report("The NPC %.*s cannot be placed in cells: its editor ID is longer than %zu characters.\n",
                   static_cast<int>(editorId.size()), editorId.data(), maxListedEditorIdLength);
        return;
    }
    RunCaches& caches = run.caches;
    // The file stays open for the run, always up to date; the entries are
    // searched in memory.
    if (!caches.npcList.isOpen()) openList(caches.npcList);
    writeEntry(caches.npcList, editorId, formId);
    caches.npcList.flush();
    std::array<uint8_t, 4> bytes;
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(formId >> (8 * i));
    caches.listedNpcs.emplace(std::string(editorId), bytes);
}

}  // namespace landfer
