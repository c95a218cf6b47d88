// The interior cells wait in the run's "interiors.tmp" until the end of the input,
// when the CELL top group is written as Oblivion's tools lay it out:
// Interior Cell Blocks and Sub-Blocks numbered from the last and the
// second-to-last decimal digit of the cell's FormID without its top byte,
// both ascending, the cells of a sub-block by FormID, each followed by its
// Cell Children with a Persistent and a Temporary group (each only when it
// holds records). Memory keeps only where each cell's records lie.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "esm/output_plugin.h"
#include "esm/staging_file.h"
#include "landscape/staged_run.h"

namespace landfer {

// The block and sub-block numbers of an interior cell.
constexpr int32_t interiorBlock(uint32_t formId) { return static_cast<int32_t>((formId & 0x00FFFFFF) % 10); }
constexpr int32_t interiorSubBlock(uint32_t formId) { return static_cast<int32_t>((formId & 0x00FFFFFF) / 10 % 10); }

class InteriorStaging {
public:
    static constexpr const char* fileName = "interiors.tmp";

    // The cells staged in the file at `path` (made at the first cell).
    explicit InteriorStaging(std::string path) : staging_(std::move(path)) {}

    // A cell's CELL record (whole, header included); returns its index.
    size_t stageCell(uint32_t formId, const std::vector<uint8_t>& record);
    uint32_t formId(size_t cell) const { return cells_[cell].formId; }
    size_t size() const { return cells_.size(); }
    void addPersistent(size_t cell, const std::vector<uint8_t>& records, uint32_t count);
    void addTemporary(size_t cell, const std::vector<uint8_t>& records, uint32_t count);

    // At the end of the input: the CELL top group (nothing without cells).
    void write(OutputPlugin& output);

private:
    struct InteriorCell {
        uint32_t formId = 0;
        StagedRun cell;
        std::vector<StagedRun> persistent;
        std::vector<StagedRun> temporary;
    };
    StagedRun stage(const std::vector<uint8_t>& records, uint32_t count);
    void writeCell(const InteriorCell& cell, BlockReader& staged, OutputPlugin& output) const;

    std::vector<InteriorCell> cells_;
    StagingFile staging_;
};

}  // namespace landfer
