// A cell as the game shows it with the plugin loaded: the references of
// each file's record of the cell, in load order (the masters, then the
// plugin). A reference's FRMR holds its object index in the low 24 bits;
// a high byte of 0 makes it a new reference of the file that lists it, a
// high byte N names the reference of that index in the N-th master of
// that file, which it replaces (or removes, with DELE). A reference that
// moved (MVRF, CNDT) leaves the cell for the cell of its new grid.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "landscape/morrowind_reference.h"

namespace landfer {

struct EditedReference {
    MorrowindReference reference;
    bool fromMaster = false;  // listed first by a master, whoever changed it since
    bool removed = false;
    ReferenceMove move;       // moved: to the cell of move's grid
};

// What the plugin's record changed of the masters' references.
struct CellEditCounts {
    long fromMasters = 0;  // references of the masters that stay (moved ones included)
    long replaced = 0;
    long deleted = 0;
    long moved = 0;
    long unknown = 0;      // changes to a reference no master has: kept as new
};

class CellEdit {
public:
    // `file`: the load-order index of the file whose record is read (the
    // plugin's is the number of masters); `masterOf(n)`: the load-order
    // index of that file's n-th master, -1 when it is not loaded. A change
    // to a master that is not loaded is kept as a new reference; one to a
    // loaded master that lacks the index too, counted as unknown. The
    // plugin's record comes last: no later file changes what it adds.
    void add(ReadReference read, const ReferenceMove& move, long file, bool isPlugin,
             const std::function<long(uint32_t)>& masterOf);

    const std::vector<EditedReference>& references() const { return references_; }
    const CellEditCounts& counts() const { return counts_; }
    // Finishes the counts: the masters' references that stay.
    void finish();
    // Empty again, for the next cell: the storage of the references is
    // kept, as a cell's references would grow it anew each time.
    void restart();

private:
    std::vector<EditedReference> references_;
    std::unordered_map<uint64_t, size_t> byKey_;
    CellEditCounts counts_;
};

}  // namespace landfer
