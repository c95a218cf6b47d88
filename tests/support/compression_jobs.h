// The jobs of a batch compression: record i's data and body i.
#pragma once

#include <vector>

#include "esm/compression.h"

inline std::vector<landfer::CompressionJob> compressionJobs(const std::vector<std::vector<uint8_t>>& records,
                                                            std::vector<landfer::RecordBody>& bodies) {
    std::vector<landfer::CompressionJob> jobs;
    for (size_t i = 0; i < records.size(); ++i) jobs.push_back({&records[i], &bodies[i]});
    return jobs;
}
