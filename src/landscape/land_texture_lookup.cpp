// Land textures: each Morrowind LTEX record names a texture file; the
// lookup file "ltex.dat" maps that file name to an Oblivion land texture.
// Land records name textures by number: the LTEX index (INTV) + 1.
#include "landscape/landscape.h"

#include <cstdio>
#include <cstring>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

void Landscape::handleLandTexture(RecordData record) {
    SubrecordCursor cursor(record);
    if (cursor.nextIs("NAME")) cursor.next();
    uint32_t number = highestTextureNumber_ + 1;
    bool indexed = cursor.nextIs("INTV");
    if (indexed) {
        Subrecord index = cursor.next();
        index.require(4);
        number = readUint32(index.data) + 1;
    }
    // Texture number 0 is the land's own "no texture": giving it a FormID
    // would paint every unpainted square. An index of -1 wraps around to it,
    // and so does the number after the highest, 0xFFFFFFFF.
    if (number == 0) {
        if (indexed) throw MalformedRecord("it has the index -1, which would give it texture number 0, no texture");
        throw MalformedRecord("it has no index, and the number after the highest so far would be 0, no texture");
    }
    // A land texture without its file is skipped, with the message among
    // the progress; deleted ones never come here.
    if (!cursor.nextIs("DATA")) {
        services_.reporter.progressText("Couldn't find LTEX DATA subrec!\n");
        return;
    }
    std::string fileName(cursor.next().text());

    uint32_t formId = 0;
    if (!services_.landTextureFiles.find(fileName, formId)) {
        services_.reporter.report("Unable to populate an ltex FormID for %s: Not in my LTEX file!!\n", fileName.c_str());
        formId = 0;
    }
    services_.losses.noteLandTexture(number, fileName, formId != 0);
    // An unknown texture keeps its number, without a FormID, so that the
    // numbers of the others stay where the land records expect them.
    landTextureTable_[number] = formId;
    if (number > highestTextureNumber_) highestTextureNumber_ = number;
}

}  // namespace landfer
