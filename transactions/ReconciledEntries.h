#pragma once

#include "core/DataFiles.h"

#include <memory>

namespace fundora::transactions {

// A reconciled transaction may be part of a record kept elsewhere (a finished
// statement). Before the transaction form changes or deletes one, the keeper
// of those records is asked; it may refuse, and inside the change's commit it
// keeps its records in step. With no keeper installed reconciled transactions
// change as open ones do.
class ReconciledEntries {
public:
    virtual ~ReconciledEntries() = default;
    // Before the change: `after` is null for a delete. False leaves the transaction as it is.
    virtual bool confirmChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after) = 0;
    // Inside the commit that writes the change (the files are open).
    virtual platform::FileError followChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after) = 0;

    static ReconciledEntries* current();
    static void install(std::shared_ptr<ReconciledEntries> keeper);
};

} // namespace fundora::transactions
