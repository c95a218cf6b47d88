// The dialogue while the input is read: topics gathered by name, their
// responses staged as the input gives them (a 32-bit length, then the
// INFO's data), read back at the end.
#include <cctype>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/staged_file.h"
#include "records/dialogue.h"

namespace landfer {

namespace {

// The greeting number of a greeting topic: 0 to 9 for "Greeting 0" to
// "Greeting 9" (in any letter case), 10 for another name.
int greetingNumber(const std::string& name) {
    const std::string folded = foldedCase(name);
    const std::string stem = "greeting ";
    if (folded.size() == stem.size() + 1 && folded.compare(0, stem.size(), stem) == 0 &&
        std::isdigit(static_cast<unsigned char>(folded.back())))
        return folded.back() - '0';
    return 10;
}

// The letters and digits of the plugin's file name without its extension.
std::string questEditorId(std::string_view inputPath) {
    const size_t slash = inputPath.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? inputPath : inputPath.substr(slash + 1);
    return alphanumericStem(name.substr(0, name.rfind('.'))) + "Dialogue";
}

}  // namespace

Dialogue::Dialogue(RecordOutput output, Problems& problems, std::string_view inputPath)
    : output_(output),
      problems_(problems),
      questEditorId_(questEditorId(inputPath)),
      staging_(output.staging.path(stagingFileName)) {
    // The greetings go to Oblivion's own GREETING topic, whose editor ID
    // its override keeps: no record of the plugin may take it.
    output_.editorIds.unique(greetingEditorId);
}

size_t Dialogue::topicFor(const MorrowindTopic& topic) {
    auto [where, added] = byName_.emplace(foldedCase(topic.name), topics_.size());
    if (added) {
        topics_.emplace_back();
        topics_.back().name = topic.name;
        topics_.back().greeting = topic.type == static_cast<int>(MorrowindTopicType::greeting);
        topics_.back().greetingNumber = greetingNumber(topic.name);
    }
    return where->second;
}

void Dialogue::handleTopic(RecordData record) {
    leaveTopic();
    pieceOpen_ = false;
    const MorrowindTopic topic = readMorrowindTopic(record);
    switch (static_cast<MorrowindTopicType>(topic.type)) {
        case MorrowindTopicType::topic:
        case MorrowindTopicType::greeting:
            currentTopic_ = topicFor(topic);
            inTopic_ = true;
            break;
        case MorrowindTopicType::voice:
        case MorrowindTopicType::persuasion:
            currentLostTopic_ = topic.name.empty() ? std::string("(no name)") : topic.name;
            break;
        default:
            break;
    }
}

void Dialogue::handleResponse(RecordData record) {
    if (!currentLostTopic_.empty())
        return problems_.tell(Problem::lost(LossKind::dialogueTopic, currentLostTopic_));
    if (!inTopic_) return;
    const MorrowindResponse response = readMorrowindResponse(record);  // malformed ones are not staged
    if (response.deleted) return;
    FileWriter& staging = staging_.append();
    std::vector<Piece>& pieces = topics_[currentTopic_].pieces;
    // The responses that follow one DIAL record stand together.
    if (!pieceOpen_) pieces.push_back({staging.position(), 0});
    pieceOpen_ = true;
    staging.writeUint32(static_cast<uint32_t>(record.size));
    staging.write(record.data, record.size);
    ++pieces.back().count;
}

std::vector<MorrowindResponse> Dialogue::stagedResponses(BlockReader& staged, const Topic& topic) const {
    std::vector<MorrowindResponse> responses;
    const char* name = staging_.path().c_str();
    for (const Piece& piece : topic.pieces) {
        seekStaged(staged, name, piece.offset);
        for (size_t i = 0; i < piece.count; ++i) {
            uint8_t length[4];
            readStagedBytes(staged, name, length, 4);
            MemorySink bytes;
            copyStagedBytes(staged, name, bytes, readUint32(length));
            responses.push_back(readMorrowindResponse({bytes.bytes.data(), bytes.bytes.size()}));
        }
    }
    return responses;
}

}  // namespace landfer
