// Writes the fuzzers' seed inputs into two directories: plugins (the one
// that holds every record type, each of its records alone behind a header,
// a land of the steepest slopes) and a few lookup files.
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <string>

#include "tes3_every_record.h"
#include "tes3_land.h"

namespace {

void writeText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s conversion_seed_dir lookup_seed_dir\n", argv[0]);
        return 2;
    }
    std::string plugins = argv[1], lookups = argv[2];
    tes3::everyRecordPlugin().save(plugins + "/every_record.esp");
    std::vector<tes3::Record> records = tes3::everyRecordType();
    for (size_t i = 1; i < records.size(); ++i) {
        tes3::Plugin single(false);
        single.add(records[0]).add(records[i]);
        single.save(plugins + "/record_" + std::to_string(i) + "_" + records[i].type() + ".esp");
    }
    tes3::Plugin steep;
    steep.add(tes3::cell("Steep", -1, 1)).add(tes3::land(-1, 1, [](int r, int c) { return -128 * (r + c + 1); }));
    steep.save(plugins + "/steep_land.esp");
    writeText(lookups + "/ltex.dat", "# comment\nlf,Grass,Tx_Grass_01.dds,0009C71C\nx,y,TX_GRASS_01.DDS,0009c71d\r\n");
    writeText(lookups + "/armour.dat", "common_shirt_01,Shirt,Shirt,0002C0FC\nGuard,x,y,00023792 rest\n");
    writeText(lookups + "/classes.dat", "Guard,00023792\r\nWarrior,0002378B\n,\n");
    return 0;
}
