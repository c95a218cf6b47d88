// Ground from the masters: a plugin that edits a cell of its masters
// seldom carries the cell's land, which stays in the master. Each cell of
// the plugin without a land of its own gets the land of its grid from the
// last master that has one, converted as the plugin's own, its texture
// numbers the master's.
#include <vector>

#include "landscape/land_converter.h"

namespace landfer {

const LandTextureTable& LandConverter::masterTextures(size_t master) {
    auto made = masterTextures_.find(master);
    if (made != masterTextures_.end()) return made->second;
    LandTextureTable& table = masterTextures_[master];
    for (const auto& [number, file] : lookups_.masters.master(master).landTextures) {
        uint32_t formId = 0;
        if (!lookups_.landTextureFiles.find(file, formId)) formId = 0;
        table[number] = formId;
    }
    return table;
}

void LandConverter::groundFromMasters() {
    const MasterFiles& masters = lookups_.masters;
    if (masters.count() == 0) return;
    const WorldStaging& world = cells_.world();
    std::vector<uint8_t> record;
    for (size_t n = 0; n < world.cellCount(); ++n) {
        size_t cell = WorldStaging::nthCell(n);
        if (world.hasLand(cell)) continue;
        int32_t gridX = world.morrowindGridX(cell), gridY = world.morrowindGridY(cell);
        uint64_t grid = cellGridKey(gridX, gridY);
        for (size_t m = masters.count(); m-- > 0;) {
            auto land = masters.master(m).lands.find(grid);
            if (land == masters.master(m).lands.end()) continue;
            masters.readRecord(m, land->second, record);
            LandInput input;
            try {
                if (!readLand(problems_, {record.data() + inputHeaderSize, record.size() - inputHeaderSize},
                              input))
                    continue;
            } catch (const MalformedRecord& problem) {
                // Its file is in the message; the input's record being read is no place of it.
                problems_.tell(Problem::skipped(
                    {}, formatText("LAND at grid (%d, %d) of the master %s", gridX, gridY, masters.master(m).path.c_str()),
                    formatText("The LAND record at grid (%d, %d) of the master %s is malformed (%s). Ignoring!\n", gridX,
                               gridY, masters.master(m).path.c_str(), problem.what())));
                continue;
            }
            ++landCount_;
            if (input.textures != nullptr)
                noteUnpaintedSquares(masterTextures(m), input.textures, problems_.losses(), &masters.master(m).landTextures);
            attachLand(cell, input, masterTextures(m));
            problems_.tell(Problem::lost(LossKind::landFromMaster, masters.master(m).name));
            break;
        }
    }
}

}  // namespace landfer
