// Checks of the dialogue: the DIAL group holds each topic followed by its
// Topic Children group (type 7, labelled with the topic's FormID) of INFO
// records; every INFO names a quest, every condition a function Oblivion
// knows, every add-topic a topic of the plugin or of Oblivion.esm.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tes4_reader.h"

namespace inspect {

// The DIAL top group's layout; `note` is told every record and group in it,
// `infos` receives every INFO for infoProblem.
std::string topicGroupProblem(const tes4::Entry& group, const std::function<std::string(const tes4::Entry&)>& note,
                              std::vector<const tes4::Entry*>& infos);

// What an INFO must hold, against the records of the plugin (by FormID).
std::string infoProblem(const tes4::Entry& info, const std::map<uint32_t, const tes4::Entry*>& records);

}  // namespace inspect
