// Dialogue of the sample plugin: two journal topics, whose entries become
// quest stages; a topic the warden speaks of, and at the crossing anyone
// while the survey is under way; and a greeting that leads to the topic.
// The game's editor saves dialogue last, so the last journal ends the input.
#include "sample_parts.h"
#include "tes3_dialogue.h"

namespace sample {

void addJournal(tes3::Plugin& plugin) {
    const uint8_t journal = 4, ordinary = 0, greeting = 2;
    plugin.add(tes3::topic("LF_SurveyTheCoast", journal));
    plugin.add(tes3::response("lf_survey_10", "The surveyor in Seyda Neen wants the cairns of the coast road marked.", 10));
    plugin.add(tes3::response("lf_survey_20", "I have marked the cairns as far as the ash hills.", 20));
    plugin.add(tes3::response("lf_survey_100", "The survey is finished and the surveyor has paid me.", 100));

    plugin.add(tes3::topic("little secret", ordinary));
    tes3::ResponseFields warden;
    warden.id = "lf_secret_1";
    warden.text = "The tide tables are wrong on purpose.";
    warden.speaker = "lf_ald_warden";
    plugin.add(tes3::dialogueResponse(warden));
    tes3::ResponseFields crossing;
    crossing.id = "lf_secret_2";
    crossing.previous = "lf_secret_1";
    crossing.text = "Ask the ferryman, not me.";
    crossing.cell = "Landfer Crossing";
    crossing.filters = {{"04JX3LF_SurveyTheCoast", 10}};
    plugin.add(tes3::dialogueResponse(crossing));

    plugin.add(tes3::topic("Greeting 0", greeting));
    tes3::ResponseFields hello;
    hello.id = "lf_greeting_1";
    hello.type = greeting;
    hello.text = "Welcome, traveller. The coast keeps a little secret, if you care to ask.";
    hello.disposition = 30;
    plugin.add(tes3::dialogueResponse(hello));

    plugin.add(tes3::topic("LF_TollBridge", journal));
    plugin.add(tes3::response("lf_toll_5", "The toll bridge is raised and nobody may cross.", 5));
    plugin.add(tes3::response("lf_toll_50", "I paid the toll and the bridge was lowered for me.", 50));
}

}  // namespace sample
