// The interiors and the doors: the CELL top group as Oblivion's tools lay
// it out (Interior Cell Blocks and Sub-Blocks numbered from the last and
// second-to-last decimal digit of each cell's FormID without its top byte,
// ascending, cells by FormID, each with a Cell Children group holding a
// Persistent group of persistent references, then a Temporary group of
// temporary ones), and every teleport (XTEL) pointing at a door reference
// of the file that leads back, or at a marker of the file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tes4_reader.h"

namespace inspect {

// What the walk of the whole file does with each record and group it meets.
class RecordNotes {
public:
    virtual ~RecordNotes() = default;
    // A problem of the record, or an empty text.
    virtual std::string noteRecord(const tes4::Entry& record) = 0;
    virtual void noteGroup() = 0;
};

std::string interiorCellsProblem(const tes4::Entry& topGroup, RecordNotes& notes);

// Oblivion.esm's XMarkerHeading, where a one-way door leads.
constexpr uint32_t xMarkerHeading = 0x00000034;

// Every REFR with an XTEL: its target a door reference of the file whose
// own XTEL points back, or a marker; both persistent.
std::string teleportProblem(const std::vector<const tes4::Entry*>& placed,
                            const std::map<uint32_t, const tes4::Entry*>& records);

}  // namespace inspect
