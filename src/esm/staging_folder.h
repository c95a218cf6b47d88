// The folder of one run's staging files, made fresh in the working folder
// under a name no other run has (its process number and a counter), and
// removed with everything in it when the run ends, however it ends. Two
// runs in one folder so never touch each other's staging.
#pragma once

#include <string>
#include <string_view>

namespace landfer {

class StagingFolder {
public:
    // The working folder itself, never removed: for the parts of the run
    // that tests use alone.
    StagingFolder() = default;
    // Makes a new folder in `parent`; failing that, the run ends.
    static StagingFolder create(const std::string& parent = ".");
    ~StagingFolder();
    StagingFolder(StagingFolder&& other) noexcept;
    StagingFolder& operator=(StagingFolder&& other) noexcept;
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The path of a staging file of this name.
    std::string path(std::string_view name) const;
    // The folder's path; empty for the working folder.
    const std::string& folder() const { return folder_; }

    // The prefix of every run's folder name.
    static constexpr const char* namePrefix = "landfer-run-";

private:
    explicit StagingFolder(std::string folder) : folder_(std::move(folder)) {}
    void remove();
    std::string folder_;
};

}  // namespace landfer
