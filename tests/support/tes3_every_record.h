// One small, valid plugin that holds every record type the converter
// reads: the base of the malformed-input tests and of the fuzz seeds.
#pragma once

#include <vector>

#include "tes3_builder.h"

namespace tes3 {

// The records, header first: LTEX, NPC_ (with inventory and AI), an
// exterior CELL placing that NPC with its LAND (textures and colours), an
// interior CELL, GLOB, BOOK, a journal DIAL with two INFO, a STAT.
std::vector<Record> everyRecordType();

// The records above as one plugin.
Plugin everyRecordPlugin();

// A reference subrecord run placing baseId at (x, y), for a CELL's raw data.
Bytes placedReference(int32_t number, std::string_view baseId, float x, float y);

}  // namespace tes3
