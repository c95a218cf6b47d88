#include "esm/byte_order.h"

namespace landfer {

int32_t bytesToInt32(int b0, int b1, int b2, int b3) {
    uint32_t value = static_cast<uint32_t>(b0 & 0xFF) | (static_cast<uint32_t>(b1 & 0xFF) << 8) |
                     (static_cast<uint32_t>(b2 & 0xFF) << 16) |
                     (static_cast<uint32_t>(b3 & 0xFF) << 24);
    return static_cast<int32_t>(value);
}

void lowercaseInPlace(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    }
}

}  // namespace landfer
