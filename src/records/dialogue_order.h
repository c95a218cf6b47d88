// Morrowind's order of a topic's responses: a chain through each
// response's previous one (PNAM). Responses whose previous one is not
// among them start a chain, in input order; a response that two others
// name as previous is followed by both, in input order; responses caught
// in a loop come last, in input order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace landfer {

struct ResponseLink {
    std::string id, previous;  // INAM, PNAM
};

// The indexes of the responses in the order Morrowind asks them.
std::vector<size_t> chainOrder(const std::vector<ResponseLink>& responses);

}  // namespace landfer
