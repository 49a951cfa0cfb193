#pragma once

#include "import/ImportPlan.h"
#include "import/ImportRecords.h"

namespace fundora::importing {

struct CommitOutcome {
    int added = 0;
    int linked = 0;
    // Another station imported or linked some of the lines since the plan was
    // made: nothing was written and the plan should be made again.
    bool conflict = false;
    QString conflictText;
};

// Writes the plan's choices in one commit over Accounts, Transactions and
// ImportedLines: each added line becomes a transaction, the account's balance
// moves by their sum (the balance rule of the transaction form), and every
// added or linked line is remembered with its bank id and the time. Any
// failure leaves all three files as they were.
platform::FileError commitImport(core::DataFiles& files, const ImportPlan& plan, CommitOutcome& outcome);

// The account's remembered import settings (flip signs, the CSV mapping), or
// the defaults for `sysId` when it has none; and storing them.
platform::FileError readImportSettings(core::DataFiles& files, std::int32_t sysId, importing::ImportSettings& out);
platform::FileError writeImportSettings(core::DataFiles& files, const importing::ImportSettings& settings);

} // namespace fundora::importing
