// The conversion against its floor: converts a plugin in-process, then, in
// the same process, compresses once more exactly the LAND and NPC_ record
// data that the conversion compressed (inflated back from the output),
// with the same zlib level 9. Conversion time / compression time is how
// far the conversion stays from the floor set by zlib.
//
//   landfer-benchmark [--rounds N] WORKDIR PLUGIN
//
// WORKDIR holds PLUGIN and lfdat/; LANDFER.ESP is written there. Messages
// and progress go to /dev/null. Each round prints its figures; the peak
// resident memory is the process's own (getrusage), taken after the
// conversions and before the floor is measured.
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "esm/compression.h"
#include "esm/fatal_error.h"
#include "run/conversion_run.h"

namespace {

// Messages of the compressor go to standard error.
const landfer::Reporter errors(stdout, stderr);

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// CPU time of the whole process, all its threads.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long fileSize(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) throw std::runtime_error(std::string("cannot open ") + path);
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size;
}

uint32_t u32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Floor {
    double seconds = 0;
    double cpuSeconds = 0;
    long records = 0;
    uint64_t plainBytes = 0;
};

// Walks the output record by record (a group header is stepped into) and
// recompresses the data of every compressed LAND and NPC_ record. The new
// stream must equal the stored one: the floor compresses what the
// conversion compressed, nothing else.
Floor measureFloor(const char* outputPath) {
    FILE* file = std::fopen(outputPath, "rb");
    if (file == nullptr) throw std::runtime_error(std::string("cannot open ") + outputPath);
    landfer::RecordCompressor compressor;
    landfer::RecordBody body;
    std::vector<uint8_t> stored, plain;
    Floor floor;
    uint8_t header[20];
    while (std::fread(header, 1, 20, file) == 20) {
        if (std::memcmp(header, "GRUP", 4) == 0) continue;
        uint32_t size = u32(header + 4), flags = u32(header + 8);
        stored.resize(size);
        if (std::fread(stored.data(), 1, size, file) != size) throw std::runtime_error("output ends inside a record");
        bool wanted = std::memcmp(header, "LAND", 4) == 0 || std::memcmp(header, "NPC_", 4) == 0;
        if (!wanted || (flags & 0x00040000) == 0) continue;
        plain.resize(u32(stored.data()));
        uLongf plainLength = static_cast<uLongf>(plain.size());
        if (uncompress(plain.data(), &plainLength, stored.data() + 4, size - 4) != Z_OK ||
            plainLength != plain.size())
            throw std::runtime_error("a compressed record does not inflate");
        double cpuStart = cpuSeconds();
        Clock::time_point start = Clock::now();
        compressor.makeBody(plain.data(), plain.size(), errors, body);
        floor.seconds += seconds(Clock::now() - start);
        floor.cpuSeconds += cpuSeconds() - cpuStart;
        if (body.bytes != stored) throw std::runtime_error("recompressed data differs from the conversion's");
        ++floor.records;
        floor.plainBytes += plain.size();
    }
    std::fclose(file);
    return floor;
}

}  // namespace

int main(int argc, char* argv[]) {
    int rounds = 3;
    int next = 1;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "--rounds") == 0 && next + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++next]));
        else
            break;
    }
    if (argc - next != 2) {
        std::fprintf(stderr, "Usage: %s [--rounds N] WORKDIR PLUGIN\n", argv[0]);
        return 1;
    }
    try {
        if (chdir(argv[next]) != 0) throw std::runtime_error(std::string("cannot enter ") + argv[next]);
        std::string plugin = argv[next + 1];
        FILE* nowhere = std::fopen("/dev/null", "w");
        std::printf("input %s: %ld bytes\n", plugin.c_str(), fileSize(plugin.c_str()));
        std::vector<double> conversions, floors, ratios, cpuRatios;
        long peak = 0;
        for (int round = 1; round <= rounds; ++round) {
            char name[] = "landfer";
            char* args[] = {name, plugin.data(), nullptr};
            double cpuStart = cpuSeconds();
            Clock::time_point start = Clock::now();
            landfer::runLandfer(2, args, nowhere, nowhere);
            double conversion = seconds(Clock::now() - start), cpu = cpuSeconds() - cpuStart;
            peak = std::max(peak, peakResidentKiB());
            Floor floor = measureFloor("LANDFER.ESP");
            conversions.push_back(conversion);
            floors.push_back(floor.seconds);
            ratios.push_back(conversion / floor.seconds);
            cpuRatios.push_back(cpu / floor.cpuSeconds);
            std::printf("round %d: conversion %.3f s (cpu %.3f s), floor %.3f s (cpu %.3f s; %ld records, %llu "
                        "bytes), ratio %.3f (cpu %.3f)\n",
                        round, conversion, cpu, floor.seconds, floor.cpuSeconds, floor.records,
                        static_cast<unsigned long long>(floor.plainBytes), conversion / floor.seconds,
                        cpu / floor.cpuSeconds);
            std::fflush(stdout);
        }
        auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        std::printf("output LANDFER.ESP: %ld bytes\n", fileSize("LANDFER.ESP"));
        std::printf("median: conversion %.3f s, floor %.3f s, ratio %.3f (cpu %.3f)\n", median(conversions),
                    median(floors), median(ratios), median(cpuRatios));
        std::printf("peak resident memory during the conversions: %.1f MiB\n", peak / 1024.0);
        std::fclose(nowhere);
    } catch (const landfer::FatalError& error) {
        std::fputs(error.what(), stderr);
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
