// Record data compressed through a compression queue, in batches of up
// to four as a land's quads are: the bodies by record, and the order in
// which the batches came back (their first records). mayWait: batches that
// may come back after later ones, as lands do.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "esm/compression_queue.h"
#include "esm/file_writer.h"
#include "esm/plugin_writer.h"

inline std::vector<std::vector<uint8_t>> queuedBodies(landfer::CompressionQueue& queue,
                                                      const std::vector<std::vector<uint8_t>>& records,
                                                      bool mayWait = false, std::vector<size_t>* order = nullptr) {
    using landfer::RecordWriter;
    std::vector<std::vector<uint8_t>> bodies(records.size());
    for (size_t first = 0; first < records.size(); first += 4) {
        int count = static_cast<int>(std::min<size_t>(4, records.size() - first));
        RecordWriter* const* writers = queue.startBatch(count, mayWait);
        for (int i = 0; i < count; ++i) {
            writers[i]->begin("LAND", static_cast<uint32_t>(first) + i);
            writers[i]->subrecords(records[first + i].data(), records[first + i].size());
        }
        queue.give([&bodies, order, first](RecordWriter* const* done, int n) {
            if (order != nullptr) order->push_back(first);
            for (int i = 0; i < n; ++i) {
                landfer::MemorySink sink;
                done[i]->writeTo(sink);
                done[i]->end();
                bodies[first + i].assign(sink.bytes.begin() + landfer::headerSize, sink.bytes.end());
            }
        });
    }
    queue.finishAll();
    return bodies;
}
