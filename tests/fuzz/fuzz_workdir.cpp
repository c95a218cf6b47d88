#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_workdir.h"

namespace fuzz {

namespace {

std::string& workDir() {
    static std::string dir;
    return dir;
}

void removeWorkDir() {
    std::error_code ignored;
    if (!workDir().empty()) std::filesystem::remove_all(workDir(), ignored);
}

[[noreturn]] void failSetup(const char* what) {
    std::perror(what);
    std::abort();
}

}  // namespace

const std::string& enterWorkDir() {
    if (!workDir().empty()) return workDir();
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/landfer-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) failSetup("mkdtemp");
    workDir() = name.data();
    std::atexit(removeWorkDir);
    std::filesystem::copy(LANDFER_SOURCE_DIR "/lfdat", workDir() + "/lfdat",
                          std::filesystem::copy_options::recursive);
    if (chdir(workDir().c_str()) != 0) failSetup("chdir");
    return workDir();
}

FILE* nullDevice() {
    static FILE* device = std::fopen("/dev/null", "w");
    if (!device) failSetup("/dev/null");
    return device;
}

void writeBytes(const char* name, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(name, "wb");
    if (!file) failSetup(name);
    if (size > 0 && std::fwrite(data, 1, size, file) != size) failSetup(name);
    if (std::fclose(file) != 0) failSetup(name);
}

}  // namespace fuzz
