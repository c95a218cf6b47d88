// Writes the twenty face-data files of lfdat/: for each of the ten races
// and both sexes, the face subrecords that end a converted NPC_ record.
// Deterministic: the same bytes on every run.
//
//   landfer-make-face-data DIRECTORY
//
// Each file holds, in this order:
//   HNAM  the race's default hair for that sex (FormID)
//   LNAM  hair length, 0.5
//   ENAM  the race's default eyes (FormID)
//   HCLR  hair colour, a dark brown (red, green, blue, 0)
//   FGGS  50 symmetric FaceGen geometry values   } all 0: the race's
//   FGGA  30 asymmetric FaceGen geometry values  } neutral face
//   FGTS  50 symmetric FaceGen texture values    }
// All FormIDs are those of Oblivion.esm.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "esm/record_writer.h"

namespace {

struct RaceFace {
    const char* faceName;
    uint32_t maleHair;
    uint32_t femaleHair;
    uint32_t eyes;
};

const RaceFace faces[] = {
    {"Argonian", 0x00064F32, 0x00064F33, 0x0003E91E},  // ArgonianFins, ArgonianJeweledFins, eyeArgonian
    {"Breton", 0x00090475, 0x0001DA83, 0x00027308},    // Loose, ElfBraid, eyeDefault
    {"DarkElf", 0x00064214, 0x0001DA83, 0x00027307},   // DarkElfMane, ElfBraid, eyeDarkElf
    {"HighElf", 0x0007B792, 0x000690C2, 0x00027308},   // HighElfClassic, DarkElfFringe, eyeDefault
    {"Imperial", 0x00090475, 0x0001DA83, 0x00027308},  // Loose, ElfBraid, eyeDefault
    {"Khajit", 0x000653D4, 0x000653D0, 0x000375C8},    // KhajiitMane, KhajiitDreds, eyeKhajiit
    {"Nord", 0x0001DA82, 0x0001DA83, 0x00027308},      // ElfPonytail, ElfBraid, eyeDefault
    {"Orc", 0x00066A27, 0x00064218, 0x0002730A},       // OrcTwoBraids, OrcBun, eyeOrc
    {"Redguard", 0x00064215, 0x00064210, 0x00027308},  // RedguardClassic, RedguardCoil, eyeDefault
    {"WoodElf", 0x000690BC, 0x00069473, 0x00027308},   // WoodElfSpiky, WoodElfFringes, eyeDefault
};

std::vector<uint8_t> faceData(uint32_t hair, uint32_t eyes) {
    landfer::MemorySink out;
    landfer::RecordWriter data(out);
    data.beginSubrecords("NPC_", "");
    data.uint32("HNAM", hair);
    data.float32("LNAM", 0.5f);
    data.uint32("ENAM", eyes);
    data.uint32("HCLR", 0x001E2A3C);
    data.zeros("FGGS", 50 * 4);
    data.zeros("FGGA", 30 * 4);
    data.zeros("FGTS", 50 * 4);
    data.end();
    return out.bytes;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s DIRECTORY\n", argv[0]);
        return 1;
    }
    for (const RaceFace& face : faces) {
        for (bool female : {false, true}) {
            std::string path = std::string(argv[1]) + "/" + face.faceName + (female ? "Female.dat" : "Male.dat");
            if (!writeFile(path, faceData(female ? face.femaleHair : face.maleHair, face.eyes))) {
                std::fprintf(stderr, "Unable to write %s: %s\n", path.c_str(), std::strerror(errno));
                return 1;
            }
        }
    }
    return 0;
}
