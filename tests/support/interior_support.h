// Interiors and doors for the tests: Morrowind interior cells and the
// references placed in them (doors with their destinations), and the
// interiors of an output read back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tes3_builder.h"
#include "tes4_reader.h"

namespace tes3 {

// An interior CELL: NAME, DATA (flags with the interior flag 0x01, grid 0, 0), then `extra`.
Record interiorCell(std::string_view name, uint32_t flags = 0x01, const Bytes& extra = {});
// AMBI: ambient, sunlight and fog colour (R, G, B, 0 each) and the fog density.
Bytes ambient(std::array<uint8_t, 3> ambientColour, std::array<uint8_t, 3> sunlight, std::array<uint8_t, 3> fog,
              float density);
// A door's destination: DODT (position and z rotation) and, for an interior, DNAM.
Bytes destination(float x, float y, float z, float rotationZ, std::string_view interior = "");

}  // namespace tes3

namespace interiors {

struct InteriorCell {
    const tes4::Entry* cell = nullptr;
    int32_t block = -1, subBlock = -1;  // the labels of its groups
    std::vector<const tes4::Entry*> persistent, temporary;
    std::string editorId() const;
};

// Every interior of the CELL top group, in file order.
std::vector<InteriorCell> interiorCells(const tes4::File& file);
// The interior whose FULL name is `name`, or null.
const InteriorCell* interiorNamed(const std::vector<InteriorCell>& cells, const std::string& name);
// The placed object of a base at (x, y) among the references given, or null.
const tes4::Entry* placedAt(const std::vector<const tes4::Entry*>& references, float x, float y);
// A door's XTEL target, or 0 without one.
uint32_t teleportTarget(const tes4::Entry& door);

}  // namespace interiors
