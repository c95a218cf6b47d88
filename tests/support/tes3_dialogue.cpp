#include "tes3_dialogue.h"

namespace tes3 {

Record dialogueResponse(const ResponseFields& fields) {
    Record record("INFO");
    record.ztext("INAM", fields.id).ztext("PNAM", fields.previous).ztext("NNAM", fields.next);
    Bytes data = int32s({fields.type, fields.disposition});
    for (int8_t value : {fields.npcRank, fields.sex, fields.pcRank}) data.push_back(static_cast<uint8_t>(value));
    data.push_back(0);
    record.sub("DATA", data);
    const std::pair<const char*, const std::string*> named[] = {
        {"ONAM", &fields.speaker}, {"RNAM", &fields.race},      {"CNAM", &fields.className}, {"FNAM", &fields.faction},
        {"ANAM", &fields.cell},    {"DNAM", &fields.pcFaction}, {"SNAM", &fields.sound}};
    for (const auto& [type, value] : named)
        if (!value->empty()) record.ztext(type, *value);
    record.sub("NAME", text(fields.text));
    for (const Filter& filter : fields.filters) record.sub("SCVR", text(filter.rule)).sub("INTV", int32s({filter.value}));
    if (!fields.script.empty()) record.sub("BNAM", text(fields.script));
    if (fields.deleted) record.sub("DELE", int32s({0}));
    return record;
}

}  // namespace tes3
