#include "cache/run_caches.h"

namespace landfer {

void closeCachedFiles(RunCaches& caches) {
    caches.npcList.close();
    caches.cellNames.close();
    for (FileWriter& file : caches.cellFiles) file.close();
}

void compressRecord(RunCaches& caches, const std::vector<uint8_t>& data, FILE* messages, RecordBody& body) {
    if (caches.enabled)
        caches.compressor.makeBody(data.data(), data.size(), messages, body);
    else
        body = makeCompressedBody(data, messages);
}

}  // namespace landfer
