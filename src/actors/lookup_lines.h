// Line-by-line reading of the lookup files in lfdat/. Lines are read whole,
// whatever their length, so a long line can never be taken for several.
#pragma once

#include <cstdio>
#include <string>

namespace landfer {

// Reads the next line into `line`, its line break included when it has
// one. Returns false at the end of the file.
bool readWholeLine(FILE* file, std::string& line);

// The line without its line break ("\n" or "\r\n"), for messages.
std::string withoutLineBreak(const std::string& line);

// True when the 8 characters at `offset` are hexadecimal digits; stores
// their value (first pair most significant) in `value`.
bool readHexFormId(const std::string& line, size_t offset, uint32_t& value);

}  // namespace landfer
