// Where a subsystem's records go: the staging folder where they wait for
// their place, the output plugin, the FormID counter and the editor IDs
// every record takes, and the deflater of the compressed ones. Handed out
// by the run's services; the references stay theirs.
#pragma once

#include "esm/deflater.h"
#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "esm/staging_folder.h"
#include "services/editor_ids.h"

namespace landfer {

struct RecordOutput {
    const StagingFolder& staging;
    OutputPlugin& plugin;
    FormIds& formIds;
    EditorIds& editorIds;
    Deflater& deflater;
};

}  // namespace landfer
