// A file opened for reading, closed however the scope is left (fatal
// errors included).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace landfer {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using ReadFile = std::unique_ptr<FILE, FileCloser>;

// 64-bit file positions, for files larger than 2 GiB on every platform:
// the position (-1 on failure), and a seek (false on failure).
int64_t tellFile(FILE* file);
bool seekFile(FILE* file, int64_t offset, int whence);

// Null when the file cannot be opened; errno tells why. A folder opens on
// some systems and then reads as nothing: it is refused with EISDIR.
ReadFile openForReading(const std::string& path, const char* mode = "rb");

}  // namespace landfer
