// What the run owns and shares among the subsystems: the run's staging
// folder, the reporter, the list of losses and the problems told, the
// output plugin with the FormID counter, the editor IDs and the deflater,
// the lookup files, and the base objects of the input and its masters.
// Each subsystem is handed only the views it uses (RecordOutput, Problems,
// Lookups); it keeps its own state.
#pragma once

#include <cstdio>
#include <string>

#include "esm/deflater.h"
#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "esm/reporter.h"
#include "esm/staging_folder.h"
#include "lookup/class_table.h"
#include "lookup/face_data.h"
#include "lookup/item_table.h"
#include "lookup/land_texture_files.h"
#include "lookup/object_table.h"
#include "services/base_objects.h"
#include "services/editor_ids.h"
#include "services/lookups.h"
#include "services/losses.h"
#include "services/master_files.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class ConversionServices {
public:
    // The output is opened before the services that write to it; tests of
    // parts that write nothing leave it without a file, and tests of parts
    // alone stage in the working folder.
    ConversionServices(FILE* progress, FILE* messages, const std::string& lookupDirectory,
                       OutputPlugin outputPlugin = OutputPlugin(), StagingFolder stagingFolder = StagingFolder())
        : staging_(std::move(stagingFolder)),
          reporter_(progress, messages),
          problems_(reporter_, losses_),
          output_(std::move(outputPlugin)),
          deflater_(staging_.path(spillFileName)),
          items_(lookupDirectory, problems_),
          classes_(lookupDirectory, problems_),
          landTextureFiles_(lookupDirectory, problems_),
          faces_(lookupDirectory, problems_),
          objects_(lookupDirectory, problems_) {}
    ConversionServices(const ConversionServices&) = delete;
    ConversionServices& operator=(const ConversionServices&) = delete;

    // Where the lands that wait to be compressed are spilled.
    static constexpr const char* spillFileName = "compression.tmp";

    RecordOutput output() { return {staging_, output_, formIds_, editorIds_, deflater_}; }
    Problems& problems() { return problems_; }
    Lookups lookups() { return {items_, classes_, landTextureFiles_, faces_, objects_, baseObjects_, masters_}; }

    // For the run alone: what it reads before the pass, and what it tells
    // after it.
    BaseObjects& baseObjects() { return baseObjects_; }
    MasterFiles& masters() { return masters_; }
    const Reporter& reporter() const { return reporter_; }
    const Losses& losses() const { return losses_; }

private:
    // Where the subsystems stage what waits for its place in the output.
    // First, so that it is removed after every file in it is closed.
    StagingFolder staging_;
    Reporter reporter_;
    // What could not be carried over, for the report after the summary.
    Losses losses_;
    // Where every problem is told: its message, its loss and its CSV line.
    Problems problems_;
    OutputPlugin output_;
    FormIds formIds_;
    Deflater deflater_;

    // The lookup files of the lookup data directory, each read at its first use.
    ItemTable items_;
    ClassTable classes_;
    LandTextureFiles landTextureFiles_;
    FaceData faces_;
    ObjectTable objects_;

    // The base objects of the masters and the input, read before the pass.
    BaseObjects baseObjects_;
    // The masters in load order, their cells and lands indexed.
    MasterFiles masters_;

    // Every editor ID of the output: each record with an EDID takes it here.
    EditorIds editorIds_;
};

}  // namespace landfer
