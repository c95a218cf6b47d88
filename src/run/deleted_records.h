// Deleted records: a plugin keeps a record it deletes from its master, as
// a record that says so: the deleted flag (0x20) in the record header's
// flags, or a DELE subrecord among the record's own subrecords (in a cell,
// those before its first placed reference, FRMR, whose own DELE deletes
// only that reference). Such a record is no object to convert.
#pragma once

#include <cstdint>
#include <vector>

namespace landfer {

// True for a whole input record (header and data) that is marked deleted.
// Reads no further than the record's subrecords can be read.
bool isDeletedRecord(const std::vector<uint8_t>& record);

}  // namespace landfer
