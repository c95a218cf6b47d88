#include "actors/class_lookup.h"

#include <cstdio>
#include <string>

#include "actors/lookup_lines.h"
#include "plugin/fatal_error.h"

namespace landfer {

uint32_t lookupClass(RunState& run, std::string_view classId) {
    std::string path = run.lookupDirectory + "/classes.dat";
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        fatal("Unable to open Classes lookup file (%s): %s\n", path.c_str(), systemErrorText().c_str());
    uint32_t result = defaultClassFormId;
    std::string line;
    while (readWholeLine(file, line)) {
        size_t comma = line.find(',');
        uint32_t formId = 0;
        if (comma == std::string::npos || !readHexFormId(line, comma + 1, formId)) {
            run.report("Found a corrupt line in %s. Should be 2 fields, commar delimited. Ignoring. Line was: %s\n",
                       path.c_str(), line.c_str());
            continue;
        }
        if (std::string_view(line).substr(0, comma) == classId) {
            result = formId;
            break;
        }
    }
    std::fclose(file);
    return result;
}

}  // namespace landfer
