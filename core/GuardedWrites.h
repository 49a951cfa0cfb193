#pragma once

#include "core/DataFiles.h"

namespace fundora::core {

// Results of the guarded writes.
enum class Guarded {
    Done,
    Failed,         // a warning was shown; nothing changed
    ChangedByOther, // a warning was shown; the buffer holds the stored record
    Refused,        // the user chose to leave the record as it is; nothing changed
};

// Every change and delete of a record goes through one of these. Each works
// on its file's record buffer inside a transaction (begun within 2 seconds),
// keeps an account and its transactions in step, and refuses to overwrite a
// record that another station changed since it was read.
//
// `fromForm` chooses the conflict warning: 38 (memo card form) or 15.
// Each may run inside a caller's FileTransaction (it then joins it); the
// files it uses must be acquired before that transaction began.
Guarded riDeleteAccounts(DataFiles& files);
Guarded riDeleteTransactions(DataFiles& files);
Guarded riDeleteMemoCard(DataFiles& files);
Guarded riUpdateAccounts(DataFiles& files, bool fromForm);
Guarded riUpdateTransactions(DataFiles& files, bool fromForm);
Guarded riUpdateMemoCard(DataFiles& files, bool fromForm);

// Inside the caller's transaction: deletes every record of `file` whose `key`
// leads with `value` (what a feature keeps of an account or a transaction),
// reading forward on that key with records of its own: no buffer changes.
platform::FileError deleteRecordsOf(platform::DataFile& file, int key, std::int64_t value);

} // namespace fundora::core
