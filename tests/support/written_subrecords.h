// The subrecords a writer function adds to a record, as bytes: what goes
// behind the record header.
#pragma once

#include <cstdint>
#include <vector>

#include "esm/file_writer.h"
#include "esm/record_writer.h"

template <typename Write>
std::vector<uint8_t> writtenSubrecords(Write write) {
    landfer::MemorySink out;
    landfer::RecordWriter record(out);
    record.beginSubrecords("TEST", "");
    write(record);
    record.end();
    return out.bytes;
}
