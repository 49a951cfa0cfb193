#pragma once

#include "core/DataFiles.h"

namespace fundora::core {

// Results of the guarded writes.
namespace Guarded {
inline constexpr int Done = 0;
inline constexpr int Failed = 1;         // a warning was shown; nothing changed
inline constexpr int ChangedByOther = 2; // a warning was shown; the buffer holds the stored record
} // namespace Guarded

// Every change and delete of a record goes through one of these. Each works
// on its file's record buffer inside a transaction (begun within 2 seconds),
// keeps an account and its transactions in step, and refuses to overwrite a
// record that another station changed since it was read.
//
// `fromForm` chooses the conflict warning: 38 (memo card form) or 15.
int riDeleteAccounts(DataFiles& files);
int riDeleteTransactions(DataFiles& files);
int riDeleteMemoCard(DataFiles& files);
int riUpdateAccounts(DataFiles& files, bool fromForm);
int riUpdateTransactions(DataFiles& files, bool fromForm);
int riUpdateMemoCard(DataFiles& files, bool fromForm);

} // namespace fundora::core
