#include "esm/staging_folder.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define landferProcessId _getpid
#else
#include <unistd.h>
#define landferProcessId getpid
#endif

#include "esm/fatal_error.h"

namespace landfer {

namespace fs = std::filesystem;

StagingFolder StagingFolder::create(const std::string& parent) {
    const std::string stem = std::string(namePrefix) + std::to_string(static_cast<long>(landferProcessId())) + "-";
    std::error_code error;
    // A folder of that name left by a run that was killed is passed over.
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const std::string name = stem + std::to_string(attempt);
        // In the working folder its name alone, as the messages show it.
        fs::path folder = parent == "." ? fs::path(name) : fs::path(parent) / name;
        if (fs::create_directory(folder, error)) return StagingFolder(folder.generic_string());
        if (error) {
            errno = error.value();
            fatal("Unable to make the staging folder %s: %s\n", folder.generic_string().c_str(),
                  error.message().c_str());
        }
    }
    fatal("Unable to make a staging folder in %s: every name from %s1 to %s1000 is taken\n", parent.c_str(),
          stem.c_str(), stem.c_str());
}

StagingFolder::~StagingFolder() { remove(); }

void StagingFolder::remove() {
    if (folder_.empty()) return;
    std::error_code ignored;
    fs::remove_all(fs::path(folder_), ignored);
    folder_.clear();
}

StagingFolder::StagingFolder(StagingFolder&& other) noexcept : folder_(std::move(other.folder_)) {
    other.folder_.clear();
}

StagingFolder& StagingFolder::operator=(StagingFolder&& other) noexcept {
    if (this != &other) {
        remove();
        folder_ = std::move(other.folder_);
        other.folder_.clear();
    }
    return *this;
}

std::string StagingFolder::path(std::string_view name) const {
    if (folder_.empty()) return std::string(name);
    return folder_ + "/" + std::string(name);
}

}  // namespace landfer
