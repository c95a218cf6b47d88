#include <string>

#include "records/dialogue_records.h"
#include "records/journals.h"

namespace landfer {

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

    const MorrowindTopic topic = readMorrowindTopic(record);
    const bool journal = topic.type == static_cast<int>(MorrowindTopicType::journal);

    if (journal) {
        topicQuest_ = quests_.questFor(topic.name);
        topicKind_ = TopicKind::journal;
        problems_.reporter().showProgress("J", true);
    }
}

}  // namespace landfer
