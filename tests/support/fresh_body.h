// The body a compressor made for this one record gives: what a compressor
// kept for the run, or shared between two cores, must give for every record.
#pragma once

#include <cstdint>
#include <vector>

#include "esm/compression.h"

inline std::vector<uint8_t> freshBody(const std::vector<uint8_t>& data) {
    landfer::RecordBody body;
    landfer::RecordCompressor().makeBody(data.data(), data.size(), body);
    return body.bytes;
}
