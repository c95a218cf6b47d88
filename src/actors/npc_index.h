// "npcs.tmp": the converted NPCs, for the placed references of later cells.
// The index alone knows the file's format; the entries are searched in
// memory, and the file, kept open for the run, is always up to date.
//
// One entry per NPC written, in the order of writing, with no header and no
// separator. With n = length of the editor id + 1 (at most 255):
//   byte 0         n
//   bytes 1..n-1   the editor id, case preserved
//   byte n         0
//   bytes n+1..+4  the FormID of the NPC's output record, little-endian
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "esm/file_writer.h"
#include "esm/reporter.h"
#include "lookup/converted_npcs.h"

namespace landfer {

class NpcIndex : public ConvertedNpcs {
public:
    static constexpr const char* fileName = "npcs.tmp";
    // The longest editor id an entry can hold (its length byte counts the 0 byte).
    static constexpr size_t maxEditorIdLength = 254;

    // Appends one entry. An editor id too long for the length byte is
    // reported and not listed. The first entry of an id wins a search.
    void add(const Reporter& reporter, std::string_view editorId, uint32_t formId);
    bool find(const std::string& id, uint8_t formId[4]) const override;
    void close() { file_.close(); }

private:
    std::unordered_map<std::string, std::array<uint8_t, 4>> entries_;
    FileWriter file_;
};

}  // namespace landfer
