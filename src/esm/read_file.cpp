#include "esm/read_file.h"

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace landfer {

ReadFile openForReading(const std::string& path, const char* mode) {
    ReadFile file(std::fopen(path.c_str(), mode));
#ifndef _WIN32
    // Windows refuses to open a folder; POSIX systems open it for reading.
    struct stat status;
    if (file && fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
        file.reset();
        errno = EISDIR;
    }
#endif
    return file;
}

}  // namespace landfer
