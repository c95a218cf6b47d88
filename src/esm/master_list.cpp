#include "esm/master_list.h"

#include <cstring>

#include "esm/fatal_error.h"
#include "esm/input_plugin.h"

namespace landfer {

std::vector<std::string> readMasterList(RecordData header) {
    std::vector<std::string> masters;
    SubrecordCursor cursor(header);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("MAST")) masters.emplace_back(sub.text());
    }
    return masters;
}

std::vector<std::string> readPluginMasterList(const std::string& path) {
    try {
        InputPlugin plugin;
        plugin.open(path);
        std::vector<uint8_t> header;
        if (!plugin.readRecord(header) || std::memcmp(header.data(), "TES3", 4) != 0) return {};
        return readMasterList({header.data() + inputHeaderSize, header.size() - inputHeaderSize});
    } catch (const FatalError&) {
        return {};
    } catch (const MalformedRecord&) {
        return {};
    }
}

std::string fileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace landfer
