#include "cache/lookup_caches.h"

namespace landfer {

void closeCachedFiles(LookupCaches& caches) {
    caches.npcList.close();
    caches.cellNames.close();
}

}  // namespace landfer
