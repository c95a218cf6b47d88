#include "run/run_caches.h"

#include <thread>

namespace landfer {

void closeCachedFiles(RunCaches& caches) {
    caches.npcList.close();
    caches.cellNames.close();
    for (FileWriter& file : caches.cellFiles) file.close();
}

void compressRecord(RunCaches& caches, const std::vector<uint8_t>& data, FILE* messages, RecordBody& body) {
    caches.compressor.makeBody(data.data(), data.size(), messages, body);
}

void compressQuads(RunCaches& caches, FILE* messages) {
    if (caches.twoCoresAllowed && !caches.twoCores) {
        if (std::thread::hardware_concurrency() >= 2)
            caches.twoCores = std::make_unique<TwoCoreCompressor>();
        else
            caches.twoCoresAllowed = false;
    }
    if (caches.twoCores) {
        caches.twoCores->compress(caches.quadData.data(), caches.quadBodies.data(), 4, messages);
        return;
    }
    for (size_t quad = 0; quad < 4; ++quad)
        compressRecord(caches, caches.quadData[quad], messages, caches.quadBodies[quad]);
}

}  // namespace landfer
