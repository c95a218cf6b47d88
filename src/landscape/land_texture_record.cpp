#include "landscape/land_texture_record.h"

#include "esm/byte_order.h"

namespace landfer {

MorrowindLandTexture readLandTexture(RecordData record) {
    SubrecordCursor cursor(record);
    MorrowindLandTexture texture;
    if (cursor.nextIs("NAME")) texture.id = std::string(cursor.next().text());
    if (cursor.nextIs("INTV")) {
        Subrecord index = cursor.next();
        index.require(4);
        texture.index = readUint32(index.data);
    }
    if (cursor.nextIs("DATA")) texture.fileName = std::string(cursor.next().text());
    return texture;
}

}  // namespace landfer
