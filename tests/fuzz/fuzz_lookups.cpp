// Fuzzes the readers of the lookup files: the bytes become ltex.dat,
// armour.dat, clothing.dat, weapons.dat, misc.dat, classes.dat and objects.dat of a private lookup
// directory, and a few names are looked up in each: fixed ones, the empty
// name, one with a 0 byte, and the file's own first field, so that lines
// that match are read to their end too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "esm/fatal_error.h"
#include "esm/reporter.h"
#include "fuzz_workdir.h"
#include "lookup/class_table.h"
#include "services/problems.h"
#include "lookup/item_table.h"
#include "lookup/land_texture_files.h"
#include "lookup/object_table.h"

namespace {

// The first field of the file's first line, up to a comma or line break.
std::string_view firstField(std::string_view text) {
    size_t end = text.find_first_of(",\r\n");
    return text.substr(0, end == std::string_view::npos ? text.size() : end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enterWorkDir();
    for (const char* name : {"lfdat/ltex.dat", "lfdat/armour.dat", "lfdat/clothing.dat", "lfdat/weapons.dat",
                             "lfdat/misc.dat", "lfdat/classes.dat", "lfdat/objects.dat"})
        fuzz::writeBytes(name, data, size);

    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view names[] = {firstField(text), "", "Tx_Grass_01.dds", "common_shirt_01", "Guard",
                                      std::string_view("a\0b", 3)};
    landfer::Reporter reporter(fuzz::nullDevice(), fuzz::nullDevice());
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    landfer::LandTextureFiles landTextures("lfdat", problems);
    landfer::ItemTable items("lfdat", problems);
    landfer::ClassTable classes("lfdat", problems);
    landfer::ObjectTable objects("lfdat", problems);
    for (std::string_view name : names) {
        try {
            uint32_t formId = 0;
            landTextures.find(name, formId);
            items.find(name, formId);
            classes.find(name);
            objects.find(name);
        } catch (const landfer::FatalError&) {
        }
    }
    return 0;
}
