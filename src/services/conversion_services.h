// What the run hands every subsystem: the run's staging folder, the reporter, the output plugin with
// the FormID counter, the deflater, the lookup tables, the base objects
// of the input and its masters and the list of losses. Subsystems keep their own state; this is only what they share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "esm/deflater.h"
#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "esm/plugin_writer.h"
#include "esm/record_writer.h"
#include "esm/reporter.h"
#include "esm/staging_folder.h"
#include "lookup/class_table.h"
#include "lookup/face_data.h"
#include "lookup/item_table.h"
#include "lookup/land_texture_files.h"
#include "services/losses.h"
#include "services/problems.h"
#include "lookup/object_table.h"
#include "services/base_objects.h"
#include "services/master_files.h"
#include "services/converted_ids.h"
#include "services/editor_ids.h"

namespace landfer {

struct ConversionServices {
    // The output is opened before the services that write to it; tests of
    // parts that write nothing leave it without a file, and tests of parts
    // alone stage in the working folder.
    ConversionServices(FILE* progress, FILE* messages, const std::string& lookupDirectory,
                       OutputPlugin outputPlugin = OutputPlugin(), StagingFolder stagingFolder = StagingFolder())
        : staging(std::move(stagingFolder)),
          reporter(progress, messages),
          problems(reporter, losses),
          output(std::move(outputPlugin)),
          items(lookupDirectory, problems),
          classes(lookupDirectory, problems),
          landTextureFiles(lookupDirectory, problems),
          faces(lookupDirectory, problems),
          objects(lookupDirectory, problems) {}
    ConversionServices(const ConversionServices&) = delete;
    ConversionServices& operator=(const ConversionServices&) = delete;

    // Where the subsystems stage what waits for its place in the output.
    // First, so that it is removed after every file in it is closed.
    StagingFolder staging;
    Reporter reporter;
    // What could not be carried over, for the report after the summary.
    Losses losses;
    // Where every problem is told: its message, its loss and its CSV line.
    Problems problems;
    OutputPlugin output;
    FormIds formIds;
    Deflater deflater;

    // The lookup files of the lookup data directory, each read at its first use.
    ItemTable items;
    ClassTable classes;
    LandTextureFiles landTextureFiles;
    FaceData faces;
    ObjectTable objects;

    // The base objects of the masters and the input, read before the pass.
    BaseObjects baseObjects;
    // The masters in load order, their cells and lands indexed.
    MasterFiles masters;
    // The books converted so far, by Morrowind id: a book of the plugin
    // lying in the world or in a container becomes the book made of it.
    ConvertedIdIndex convertedBooks;

    // Every editor ID of the output: each record with an EDID takes it here.
    EditorIds editorIds;

    // A record holding a subrecord of 65536 bytes or more cannot be written
    // (subrecord sizes are 16-bit). Tells it, naming the record type and
    // editor ID, as a skipped record or, where only a part of the record
    // is lost, as a loss of that kind.
    void tellOversized(const OversizedSubrecord& problem, std::optional<LossKind> partLost = std::nullopt);

};

}  // namespace landfer
