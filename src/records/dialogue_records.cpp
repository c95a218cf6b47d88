#include "records/dialogue_records.h"

#include "esm/byte_order.h"

namespace landfer {

MorrowindTopic readMorrowindTopic(RecordData record) {
    MorrowindTopic topic;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) topic.name = std::string(sub.text());
        if (sub.is("DATA")) {
            sub.require(1);
            topic.type = sub.data[0];
        }
    }
    return topic;
}

namespace {

// DATA: type and padding, disposition (or journal index), NPC rank, sex, PC rank, padding.
void readResponseData(const Subrecord& sub, MorrowindResponse& response) {
    sub.require(8);
    response.hasData = true;
    response.disposition = readInt32(sub.data + 4);
    if (sub.size >= 11) {
        response.npcRank = static_cast<int8_t>(sub.data[8]);
        response.sex = static_cast<int8_t>(sub.data[9]);
        response.pcRank = static_cast<int8_t>(sub.data[10]);
    }
}

// The value subrecord (INTV or FLTV) after an SCVR.
void readFilterValue(const Subrecord& sub, MorrowindFilter& filter) {
    sub.require(4);
    filter.isFloat = sub.is("FLTV");
    if (filter.isFloat)
        filter.floatValue = readFloat(sub.data);
    else
        filter.intValue = readInt32(sub.data);
}

// The subrecords that name something: each is a 0-terminated text.
std::string* namedField(const Subrecord& sub, MorrowindResponse& response) {
    struct Field {
        const char* type;
        std::string MorrowindResponse::*member;
    };
    static const Field fields[] = {
        {"INAM", &MorrowindResponse::id},        {"PNAM", &MorrowindResponse::previous},
        {"NNAM", &MorrowindResponse::next},      {"ONAM", &MorrowindResponse::speaker},
        {"RNAM", &MorrowindResponse::race},      {"CNAM", &MorrowindResponse::className},
        {"FNAM", &MorrowindResponse::faction},   {"ANAM", &MorrowindResponse::cell},
        {"DNAM", &MorrowindResponse::pcFaction}, {"SNAM", &MorrowindResponse::sound},
        {"NAME", &MorrowindResponse::text},
    };
    for (const Field& field : fields)
        if (sub.is(field.type)) return &(response.*field.member);
    return nullptr;
}

}  // namespace

MorrowindResponse readMorrowindResponse(RecordData record) {
    MorrowindResponse response;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (std::string* field = namedField(sub, response)) {
            *field = std::string(sub.text());
        } else if (sub.is("DATA")) {
            readResponseData(sub, response);
        } else if (sub.is("SCVR")) {
            response.filters.push_back({std::string(sub.text())});
        } else if ((sub.is("INTV") || sub.is("FLTV")) && !response.filters.empty()) {
            readFilterValue(sub, response.filters.back());
        } else if (sub.is("BNAM")) {
            response.resultScript.assign(reinterpret_cast<const char*>(sub.data), sub.size);
        }
        response.deleted = response.deleted || sub.is("DELE");
        response.namesQuest = response.namesQuest || sub.is("QSTN");
        response.finishesQuest = response.finishesQuest || sub.is("QSTF");
        response.restartsQuest = response.restartsQuest || sub.is("QSTR");
    }
    return response;
}

}  // namespace landfer
