// landfer-inspect: checks an Oblivion plugin and shows what it holds.
//
//   landfer-inspect FILE.esp [--heightmap OUT.png] [--textures OUT.png]
//
// Exit status 0 for a sound file, 1 when a problem is found (printed with
// its byte offset) or an image cannot be written, 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "land_images.h"
#include "plugin_checks.h"
#include "plugin_summary.h"
#include "tes4_reader.h"
#include "world_lands.h"

namespace {

int usage(const char* self) {
    std::fprintf(stderr, "Usage: %s FILE.esp [--heightmap OUT.png] [--textures OUT.png]\n", self);
    return 2;
}

bool saveImage(const inspect::RgbImage& image, const std::string& path) {
    std::string problem;
    if (image.savePng(path, problem)) return true;
    std::fprintf(stderr, "Unable to write %s: %s\n", path.c_str(), problem.c_str());
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string input, heightmapPath, texturesPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--heightmap") == 0 && i + 1 < argc)
            heightmapPath = argv[++i];
        else if (std::strcmp(argv[i], "--textures") == 0 && i + 1 < argc)
            texturesPath = argv[++i];
        else if (argv[i][0] != '-' && input.empty())
            input = argv[i];
        else
            return usage(argv[0]);
    }
    if (input.empty()) return usage(argv[0]);

    tes4::File file;
    try {
        file = tes4::readPlugin(tes4::readFileBytes(input));
    } catch (const std::exception& error) {
        std::printf("%s: PROBLEM %s\n", input.c_str(), error.what());
        return 1;
    }
    inspect::WorldLands world = inspect::decodeWorldLands(file);
    inspect::printSummary(stdout, file, world);

    bool imagesWritten = true;
    if (!heightmapPath.empty() || !texturesPath.empty()) {
        size_t width = 0, height = 0;
        std::string problem;
        if (!inspect::imageSize(world, width, height, problem)) {
            std::fprintf(stderr, "No image drawn: %s\n", problem.c_str());
            imagesWritten = false;
        } else {
            if (!heightmapPath.empty())
                imagesWritten &= saveImage(inspect::drawHeightmap(world, width, height), heightmapPath);
            if (!texturesPath.empty()) {
                std::map<uint32_t, inspect::Rgb> legend;
                imagesWritten &= saveImage(inspect::drawTextureMap(world, width, height, legend), texturesPath);
                std::printf("Texture colours:\n");
                for (const auto& entry : legend)
                    std::printf("  %08X #%02X%02X%02X\n", entry.first, entry.second.r, entry.second.g, entry.second.b);
            }
        }
    }

    std::string problem = inspect::findFirstProblem(file);
    if (!problem.empty()) {
        std::printf("%s: PROBLEM %s\n", input.c_str(), problem.c_str());
        return 1;
    }
    std::printf("%s: sound\n", input.c_str());
    return imagesWritten ? 0 : 1;
}
