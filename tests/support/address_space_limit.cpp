#include "address_space_limit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace limits {

bool sanitizedBuild() {
#ifdef LANDFER_SANITIZED
    return true;
#else
    return false;
#endif
}

std::string whyAddressSpaceLimitsCannotBeTested() {
    if (sanitizedBuild()) return "the sanitizer build reserves far more address space than it uses";
    if (std::getenv("LANDFER_COMMAND") != nullptr) return "no address space limit under Wine";
    return "";
}

size_t mappedBytes() {
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) throw std::runtime_error("cannot read /proc/self/statm");
    unsigned long pages = 0;
    int read = std::fscanf(statm, "%lu", &pages);
    std::fclose(statm);
    if (read != 1) throw std::runtime_error("cannot read /proc/self/statm");
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

int runWithAddressSpaceLimit(size_t extra, const std::function<void()>& setup, const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        setup();
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(mappedBytes() + extra);
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
        int status = body();
        std::fflush(nullptr);
        _exit(status);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status)) return 1000 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

}  // namespace limits
