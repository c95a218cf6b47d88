// What the subsystems look things up in: the lookup files of the lookup
// data directory (each read at its first use) and what was read before the
// pass, the base objects of the masters and the input and the masters in
// load order. Handed out by the run's services.
#pragma once

#include "lookup/class_table.h"
#include "lookup/face_data.h"
#include "lookup/item_table.h"
#include "lookup/land_texture_files.h"
#include "lookup/object_table.h"
#include "services/base_objects.h"
#include "services/master_files.h"

namespace landfer {

struct Lookups {
    ItemTable& items;
    ClassTable& classes;
    LandTextureFiles& landTextureFiles;
    FaceData& faces;
    ObjectTable& objects;
    const BaseObjects& baseObjects;
    const MasterFiles& masters;
};

}  // namespace landfer
