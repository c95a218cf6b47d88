#include <string>

#include "records/journals.h"

namespace landfer {

namespace {
constexpr uint8_t journalTopicType = 4;
}  // namespace

void Journals::closeTopic() {
    if (topicKind_ == TopicKind::journal) quests_.addStages(topicQuest_, topicStages_);
    topicStages_.clear();
}

void Journals::finishInput() {
    closeTopic();
    topicKind_ = TopicKind::none;
    quests_.reportEmptyQuests();
}

void Journals::handleDialogueTopic(RecordData record) {
    closeTopic();
    // Until the topic has been read whole it counts as ordinary, so the
    // responses of a malformed topic are never staged into any quest.
    topicKind_ = TopicKind::ordinary;

    std::string name;
    bool journal = false;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) name = std::string(sub.text());
        if (sub.is("DATA")) {
            sub.require(1);
            journal = sub.data[0] == journalTopicType;
        }
    }

    if (journal) {
        topicQuest_ = quests_.questFor(name);
        topicKind_ = TopicKind::journal;
        services_.reporter.showProgress("J", true);
    }
}

}  // namespace landfer
