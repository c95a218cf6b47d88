// The one parser of the lookup files in lfdat/: files opened past a byte
// order mark, lines read whole, whatever
// their length (so a long line can never be taken for several), FormIDs of
// eight hexadecimal digits, and letter case folded A-Z to a-z.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "esm/read_file.h"

namespace landfer {

// Opens a lookup file for reading (null, with errno, when it cannot) and
// steps over a UTF-8 byte order mark at its start, which editors on
// Windows put there and which is no part of the first line.
ReadFile openLookupFile(const std::string& path, const char* mode = "rb");

// Reads the next line into `line`, its line break included when it has
// one. Returns false at the end of the file.
bool readWholeLine(FILE* file, std::string& line);

// The line without its line break ("\n" or "\r\n"), for messages.
std::string withoutLineBreak(const std::string& line);

// Exactly eight hexadecimal digits, most significant first, upper or lower
// case; false for anything else.
bool parseHexFormId(std::string_view text, uint32_t& formId);

// Whether a FormID can name a record of Oblivion.esm, the output's only
// master: its master byte is 00, and no record has the FormID 0.
bool isOblivionFormId(uint32_t formId);

// The rest of the line from `offset` (the last field) as the FormID of an
// Oblivion.esm record: eight hexadecimal digits, then nothing but blanks
// and the line break. False for anything else, a FormID of 0 or one with a
// master byte included, so that such a line is reported, not taken.
bool readLastFormId(std::string_view line, size_t offset, uint32_t& formId);

}  // namespace landfer
