// The one way records are compressed: a kept compressor for a single
// record, and for a batch (the four quads of a land) the two-core
// compressor when the machine has two cores. The bodies are the same byte
// for byte either way; a worker thread that cannot be started leaves the
// batch to the calling thread.
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "esm/compression.h"
#include "esm/two_core_compressor.h"

namespace landfer {

class Deflater {
public:
    void compress(const std::vector<uint8_t>& data, RecordBody& body);
    // Fills the body of each of count jobs from its data.
    void compress(const CompressionJob* jobs, int count);

private:
    RecordCompressor compressor_;
    std::unique_ptr<TwoCoreCompressor> twoCores_;
    bool hardwareChecked_ = false;
};

}  // namespace landfer
