// The conversion against its floor: converts a plugin in-process, then, in
// the same process, compresses once more exactly the LAND and NPC_ record
// data that the conversion compressed (inflated back from the output), on
// one core: with zlib at level 9, the floor a reader knows, and with the
// converter's own compressor (libdeflate), whose bodies must equal the
// output's. Conversion time / zlib time is how far the conversion stays
// from the floor set by zlib.
//
//   landfer-benchmark [--rounds N] [--levels] [--master FILE]... WORKDIR PLUGIN
//
// WORKDIR holds PLUGIN, its masters and lfdat/; LANDFER.ESP is written there. Messages
// and progress go to /dev/null. Each round prints its figures; the peak
// resident memory is the process's own (getrusage), taken after the
// conversions and before the floors are measured. --levels also times
// libdeflate's levels 1 to 12 on the same bytes, with their sizes.
#include <sys/resource.h>
#include <unistd.h>
#include <libdeflate.h>
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

// One compressor's time and output on the floor's bytes, one core.
struct Timing {
    double seconds = 0;
    double cpuSeconds = 0;
    uint64_t compressedBytes = 0;
};

struct Floor {
    long records = 0;
    uint64_t plainBytes = 0;
    Timing zlib9, converter;
    std::vector<Timing> levels;  // libdeflate levels 1 to 12, with --levels
};

// zlib at level 9 with one kept stream (deflateReset for every record).
class ZlibLevel9 {
public:
    ZlibLevel9() {
        std::memset(&z_, 0, sizeof z_);
        if (deflateInit(&z_, 9) != Z_OK) throw std::runtime_error("deflateInit failed");
    }
    ~ZlibLevel9() { deflateEnd(&z_); }
    size_t compress(const std::vector<uint8_t>& plain, std::vector<uint8_t>& out) {
        deflateReset(&z_);
        out.resize(deflateBound(&z_, static_cast<uLong>(plain.size())));
        z_.next_in = const_cast<Bytef*>(plain.data());
        z_.avail_in = static_cast<uInt>(plain.size());
        z_.next_out = out.data();
        z_.avail_out = static_cast<uInt>(out.size());
        if (deflate(&z_, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("zlib failed");
        return z_.total_out;
    }

private:
    z_stream z_;
};

// Runs compress() and adds its time and the compressed length to timing.
template <typename Compress>
void timed(Timing& timing, Compress compress) {
    double cpuStart = cpuSeconds();
    Clock::time_point start = Clock::now();
    size_t length = compress();
    timing.seconds += seconds(Clock::now() - start);
    timing.cpuSeconds += cpuSeconds() - cpuStart;
    timing.compressedBytes += length;
}

// Walks the output record by record (a group header is stepped into) and
// recompresses the data of every compressed LAND and NPC_ record. The
// converter's compressor must give the stored body again: the floor
// compresses what the conversion compressed, nothing else.
Floor measureFloor(const char* outputPath, bool allLevels) {
    FILE* file = std::fopen(outputPath, "rb");
    if (file == nullptr) throw std::runtime_error(std::string("cannot open ") + outputPath);
    ZlibLevel9 zlib9;
    landfer::RecordCompressor compressor;
    std::vector<libdeflate_compressor*> levels;
    for (int level = 1; allLevels && level <= 12; ++level) levels.push_back(libdeflate_alloc_compressor(level));
    landfer::RecordBody body;
    std::vector<uint8_t> stored, plain, out;
    Floor floor;
    floor.levels.resize(levels.size());
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
        timed(floor.zlib9, [&] { return zlib9.compress(plain, out); });
        timed(floor.converter, [&] {
            compressor.makeBody(plain.data(), plain.size(), body);
            return body.bytes.size() - 4;
        });
        if (body.bytes != stored) throw std::runtime_error("recompressed data differs from the conversion's");
        for (size_t i = 0; i < levels.size(); ++i) {
            out.resize(libdeflate_zlib_compress_bound(levels[i], plain.size()));
            timed(floor.levels[i],
                  [&] { return libdeflate_zlib_compress(levels[i], plain.data(), plain.size(), out.data(), out.size()); });
        }
        ++floor.records;
        floor.plainBytes += plain.size();
    }
    for (libdeflate_compressor* level : levels) libdeflate_free_compressor(level);
    std::fclose(file);
    return floor;
}

void printLevels(const Floor& floor) {
    std::printf("  zlib level 9: %.3f s, %llu bytes\n", floor.zlib9.seconds,
                static_cast<unsigned long long>(floor.zlib9.compressedBytes));
    for (size_t i = 0; i < floor.levels.size(); ++i)
        std::printf("  libdeflate level %zu: %.3f s, %llu bytes\n", i + 1, floor.levels[i].seconds,
                    static_cast<unsigned long long>(floor.levels[i].compressedBytes));
}

}  // namespace

int main(int argc, char* argv[]) {
    int rounds = 3;
    bool levels = false;
    std::vector<std::string> masters;
    int next = 1;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "--rounds") == 0 && next + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++next]));
        else if (std::strcmp(argv[next], "--levels") == 0)
            levels = true;
        else if (std::strcmp(argv[next], "--master") == 0 && next + 1 < argc)
            masters.push_back(argv[++next]);
        else
            break;
    }
    if (argc - next != 2) {
        std::fprintf(stderr, "Usage: %s [--rounds N] [--levels] [--master FILE]... WORKDIR PLUGIN\n", argv[0]);
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
            std::string name = "landfer", option = "--master";
            std::vector<char*> args = {name.data()};
            for (std::string& master : masters) {
                args.push_back(option.data());
                args.push_back(master.data());
            }
            args.push_back(plugin.data());
            args.push_back(nullptr);
            double cpuStart = cpuSeconds();
            Clock::time_point start = Clock::now();
            landfer::runLandfer(static_cast<int>(args.size()) - 1, args.data(), nowhere, nowhere);
            double conversion = seconds(Clock::now() - start), cpu = cpuSeconds() - cpuStart;
            peak = std::max(peak, peakResidentKiB());
            Floor floor = measureFloor("LANDFER.ESP", levels);
            conversions.push_back(conversion);
            floors.push_back(floor.zlib9.seconds);
            ratios.push_back(conversion / floor.zlib9.seconds);
            cpuRatios.push_back(cpu / floor.converter.cpuSeconds);
            std::printf("round %d: conversion %.3f s (cpu %.3f s); %ld records, %llu bytes: zlib-9 floor %.3f s "
                        "(%llu bytes), libdeflate %.3f s (level %d, %llu bytes); ratio %.3f (cpu / libdeflate's %.3f)\n",
                        round, conversion, cpu, floor.records, static_cast<unsigned long long>(floor.plainBytes),
                        floor.zlib9.seconds, static_cast<unsigned long long>(floor.zlib9.compressedBytes),
                        floor.converter.seconds, landfer::RecordCompressor::level,
                        static_cast<unsigned long long>(floor.converter.compressedBytes), ratios.back(),
                        cpuRatios.back());
            if (levels) printLevels(floor);
            std::fflush(stdout);
        }
        auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        auto least = [](const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); };
        std::printf("output LANDFER.ESP: %ld bytes\n", fileSize("LANDFER.ESP"));
        std::printf("median: conversion %.3f s, zlib-9 floor %.3f s, ratio %.3f (cpu %.3f)\n", median(conversions),
                    median(floors), median(ratios), median(cpuRatios));
        std::printf("least: conversion %.3f s, zlib-9 floor %.3f s, ratio %.3f (cpu %.3f)\n", least(conversions),
                    least(floors), least(ratios), least(cpuRatios));
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
