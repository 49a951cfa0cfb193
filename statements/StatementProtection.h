#pragma once

#include "transactions/ReconciledEntries.h"

namespace fundora::statements {

// Keeps finished statements in step with the reconciled transactions they
// hold: before one is changed or deleted the user is asked, with the statement
// named and what its difference becomes; inside the change's commit the
// statement takes the change. A transaction reconciled on its own, outside
// any statement, changes without a question, as it always did.
class StatementProtection final : public transactions::ReconciledEntries {
public:
    bool confirmChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after) override;
    platform::FileError followChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after) override;
};

} // namespace fundora::statements
