#include "run/path_checks.h"

#include <filesystem>
#include <system_error>

#include "esm/fatal_error.h"
#include "run/temporary_files.h"

namespace landfer {

namespace fs = std::filesystem;

namespace {

// The place a path names: absolute, normalized, with its symbolic links
// resolved as far as they lead to something (a link that leads nowhere is
// followed too: writing through it creates its target). Windows paths
// differ in letter case only as spellings of one place.
fs::path placeOf(const std::string& name) {
    std::error_code error;
    fs::path path = fs::absolute(fs::path(name), error);
    for (int links = 0; links < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++links) {
        fs::path target = fs::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    fs::path place = fs::weakly_canonical(path, error);
    if (error) place = path.lexically_normal();
#ifdef _WIN32
    std::wstring folded = place.wstring();
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    place = folded;
#endif
    return place;
}

bool exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// A regular file, nothing yet, or what cannot be told (left for the open to report).
bool regularOrMissing(const std::string& name) {
    std::error_code error;
    fs::file_type type = fs::status(fs::path(name), error).type();
    return type == fs::file_type::regular || type == fs::file_type::not_found || type == fs::file_type::none;
}

bool isTemporaryFile(const std::string& name) {
    for (const char* temporary : temporaryFileNames())
        if (samePlace(name, temporary)) return true;
    return false;
}

// A file of the lookup directory, by identity (links to one included), or
// a file to be made in that directory.
bool isLookupFile(const std::string& name, const std::string& lookupDirectory) {
    if (samePlace(placeOf(name).parent_path().string(), lookupDirectory)) return true;
    std::error_code error;
    for (fs::directory_iterator entry(lookupDirectory, error), end; !error && entry != end; entry.increment(error))
        if (samePlace(name, entry->path().string())) return true;
    return false;
}

}  // namespace

void cannotOpen(const std::string& name, const char* purpose, const std::string& reason) {
    fatal("Unable to open %s for %s: %s\n", name.c_str(), purpose, reason.c_str());
}

bool samePlace(const std::string& a, const std::string& b) {
    if (exists(a) && exists(b)) {
        std::error_code error;
        return fs::equivalent(fs::path(a), fs::path(b), error);
    }
    return placeOf(a) == placeOf(b);
}

void refusePluginPath(const char* role, const std::string& name, const char* outputName) {
    if (!regularOrMissing(name)) cannotOpen(name, "reading", "Not a regular file");
    if (samePlace(name, outputName))
        fatal("The %s file %s is the output file %s; rename it or run in another folder\n", role, name.c_str(),
              outputName);
    if (isTemporaryFile(name))
        fatal("The %s file %s is a temporary file of the run, which the run deletes; rename it or run in another "
              "folder\n",
              role, name.c_str());
}

void refuseReportPath(const std::string& reportName, const std::vector<std::string>& plugins, const char* outputName,
                      const std::string& lookupDirectory) {
    const char* overwritten = nullptr;
    bool isPlugin = samePlace(reportName, outputName);
    for (const std::string& plugin : plugins) isPlugin = isPlugin || samePlace(reportName, plugin);
    if (isPlugin)
        overwritten = "a plugin";
    else if (isTemporaryFile(reportName))
        overwritten = "a temporary file of the run";
    else if (isLookupFile(reportName, lookupDirectory))
        overwritten = "a lookup file";
    if (overwritten != nullptr)
        fatal("The report file %s would overwrite %s; name another file.\n", reportName.c_str(), overwritten);
    if (!regularOrMissing(reportName)) cannotOpen(reportName, "writing", "Not a regular file");
}

void refuseOutputThatIsNoRegularFile(const char* outputName) {
    if (!regularOrMissing(outputName)) cannotOpen(outputName, "writing", "Not a regular file");
}

}  // namespace landfer
