// The words of a response: its text cut into Oblivion's shorter pieces,
// the goodbye of its result script, and the topics its text names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace landfer {

// The editor keeps a response's text to this many characters.
constexpr size_t responseTextLimit = 150;

// The text cut at spaces into pieces of at most `limit` bytes each (a word
// longer than that is cut inside), without the spaces at the cuts; one
// piece for an empty text.
std::vector<std::string> splitResponseText(std::string_view text, size_t limit = responseTextLimit);

// The letters and digits of a name, for an editor ID made from it.
std::string alphanumericStem(std::string_view name);

// Whether a result script says Goodbye (as a word of a line, outside its
// comment), which ends the conversation after the response.
bool saysGoodbye(std::string_view script);

// The topic names that stand in texts as whole words, without regard to
// letter case: a name matches where no letter or digit stands right before
// or after it.
class TopicNames {
public:
    // Adds a name with a number to return for it. A name that does not
    // begin with a letter or digit is never found.
    void add(std::string_view name, size_t number);
    // The numbers of the names the text holds, each once, in the order added.
    std::vector<size_t> namedIn(std::string_view text) const;

private:
    struct Name {
        std::string folded;
        size_t number;
        size_t order;
    };
    std::unordered_map<std::string, std::vector<Name>> byFirstWord_;
    size_t count_ = 0;
};

}  // namespace landfer
