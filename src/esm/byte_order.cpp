#include "esm/byte_order.h"

namespace landfer {

void foldCase(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

std::string foldedCase(std::string_view text) {
    std::string folded(text);
    foldCase(folded);
    return folded;
}

}  // namespace landfer
