#pragma once

#include "core/DataFiles.h"

#include <functional>
#include <vector>

namespace fundora::transactions {

// The keeper of the balance rule: an account's stored balance is the sum of
// its transactions. Every change that moves a balance goes through here: the
// transaction form's insert, change and delete, the opening balance of a new
// account, an import's lines, the sample register.
//
// The ledger reads and writes through records of its own, never through the
// shared record buffers (a list or form may be working on them, and after a
// rollback they would keep a row version that was never committed). Its
// commits are file transactions, so they compose: inside a caller's
// transaction they join it and take effect with it. Accounts and
// Transactions must be open.
class Ledger {
public:
    explicit Ledger(core::DataFiles& files) : m_files(files) {}

    // New transactions of one account and the balance they move, in one
    // commit; each entry gets its identity. Nothing is written unless all is.
    platform::FileError book(std::vector<core::Transaction>& entries);
    platform::FileError book(core::Transaction& entry);
    // The same for entries made one at a time, so that a large statement is
    // not held twice: `next` fills the next entry of account `sysId` (false
    // when there is none), `booked` is given each one as written, with its
    // identity, to write what goes with it in the same commit.
    platform::FileError book(std::int32_t sysId, const std::function<bool(core::Transaction&)>& next,
                             const std::function<platform::FileError(const core::Transaction&)>& booked);

    // The opening balance of an account just written with it: an open "B"
    // transaction dated today for the account's balance, whatever the amount
    // (the account holds the balance already, so it does not move).
    platform::FileError bookOpeningBalance(const core::Account& account);

    // Inside the caller's transaction: moves the stored balance of account
    // `sysId` by `delta`, read inside the transaction. A balance beyond the
    // field's size is refused by the store (75): nothing is written.
    platform::FileError moveBalance(std::int32_t sysId, const platform::Decimal& delta);

    // Inside the caller's transaction: writes `edited` over the stored
    // transaction it was read as (its identity) and moves the balance by the
    // difference from what is stored, on each account if it changed owner.
    // Another station's change or delete since it was read is 89 (or 35):
    // nothing is written. `edited` gets its new version.
    platform::FileError change(core::Transaction& edited);

    // Inside the caller's transaction: deletes the transaction stored at
    // `row`, as it is stored now, with what the features keep of it, and
    // moves its account's balance back. `gone` receives the deleted record.
    platform::FileError remove(std::int64_t row, core::Transaction& gone);

private:
    platform::FileError add(core::Transaction& entry);
    core::DataFiles& m_files;
};

} // namespace fundora::transactions
