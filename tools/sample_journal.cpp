// Dialogue of the sample plugin: two journal topics, whose entries become
// quest stages, and an ordinary topic whose responses are not converted.
// The game's editor saves dialogue last, so the last journal ends the input.
#include "sample_parts.h"

namespace sample {

void addJournal(tes3::Plugin& plugin) {
    const uint8_t journal = 4, ordinary = 0;
    plugin.add(tes3::topic("LF_SurveyTheCoast", journal));
    plugin.add(tes3::response("lf_survey_10", "The surveyor in Seyda Neen wants the cairns of the coast road marked.", 10));
    plugin.add(tes3::response("lf_survey_20", "I have marked the cairns as far as the ash hills.", 20));
    plugin.add(tes3::response("lf_survey_100", "The survey is finished and the surveyor has paid me.", 100));

    plugin.add(tes3::topic("little secret", ordinary));
    plugin.add(tes3::response("lf_secret_1", "The tide tables are wrong on purpose.", 0));
    plugin.add(tes3::response("lf_secret_2", "Ask the ferryman, not me.", 0));

    plugin.add(tes3::topic("LF_TollBridge", journal));
    plugin.add(tes3::response("lf_toll_5", "The toll bridge is raised and nobody may cross.", 5));
    plugin.add(tes3::response("lf_toll_50", "I paid the toll and the bridge was lowered for me.", 50));
}

}  // namespace sample
