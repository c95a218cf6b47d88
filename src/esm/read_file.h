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

// Null when the file cannot be opened; errno tells why.
inline ReadFile openForReading(const std::string& path, const char* mode = "rb") {
    return ReadFile(std::fopen(path.c_str(), mode));
}

}  // namespace landfer
