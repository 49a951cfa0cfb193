#include "transactions/Ledger.h"

#include "core/FileTransaction.h"
#include "core/GuardedWrites.h"
#include "platform/Clock.h"

namespace fundora::transactions {

using platform::Decimal;
using platform::FileError;

FileError Ledger::add(core::Transaction& entry)
{
    platform::Record r = core::transactionLayout().toRecord(entry);
    const FileError e = m_files.transactions.file().add(r);
    if (e.ok())
        entry.identity = r.identity;
    return e;
}

FileError Ledger::moveBalance(std::int32_t sysId, const Decimal& delta)
{
    core::Account account;
    if (FileError e = m_files.readAccount(sysId, account); !e.ok())
        return e;
    account.accountBalance = (account.accountBalance + delta).rounded(2);
    platform::Record r = core::accountLayout().toRecord(account);
    return m_files.accounts.file().put(r);
}

FileError Ledger::change(core::Transaction& edited)
{
    platform::DataFile& file = m_files.transactions.file();
    platform::Record storedRecord;
    if (FileError e = file.fetch(edited.identity.row, storedRecord); !e.ok())
        return e;
    core::Transaction stored;
    core::transactionLayout().fromRecord(storedRecord, stored);
    platform::Record r = core::transactionLayout().toRecord(edited);
    if (FileError e = file.put(r); !e.ok())
        return e;
    edited.identity = r.identity;
    if (stored.sysId != edited.sysId) {
        if (FileError e = moveBalance(stored.sysId, -stored.transactionAmount); !e.ok())
            return e;
        return moveBalance(edited.sysId, edited.transactionAmount);
    }
    const Decimal delta = edited.transactionAmount - stored.transactionAmount;
    return delta.isZero() ? FileError::success() : moveBalance(edited.sysId, delta);
}

FileError Ledger::remove(std::int64_t row, core::Transaction& gone)
{
    platform::DataFile& file = m_files.transactions.file();
    platform::Record stored;
    if (FileError e = file.fetch(row, stored); !e.ok())
        return e;
    if (FileError e = file.remove(stored); !e.ok())
        return e;
    core::transactionLayout().fromRecord(stored, gone);
    for (core::FileId id : core::filesOfATransaction())
        if (FileError e = core::deleteRecordsOf(m_files.file(id), core::featureFile(id).transactionKey, row); !e.ok())
            return e;
    return moveBalance(gone.sysId, -gone.transactionAmount);
}

FileError Ledger::book(std::int32_t sysId, const std::function<bool(core::Transaction&)>& next,
                       const std::function<FileError(const core::Transaction&)>& booked)
{
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return tx.beginError();
    Decimal sum = Decimal::fromUnits(0, 2);
    for (core::Transaction t; next(t); t = core::Transaction{}) {
        t.sysId = sysId;
        if (FileError e = add(t); !e.ok())
            return e;
        sum += t.transactionAmount;
        if (FileError e = booked(t); !e.ok())
            return e;
    }
    if (!sum.isZero())
        if (FileError e = moveBalance(sysId, sum); !e.ok())
            return e;
    return tx.commit();
}

FileError Ledger::book(std::vector<core::Transaction>& entries)
{
    if (entries.empty())
        return FileError::success();
    auto entry = entries.begin();
    return book(
        entries.front().sysId,
        [&](core::Transaction& t) {
            if (entry == entries.end())
                return false;
            t = *entry;
            return true;
        },
        [&](const core::Transaction& t) {
            (entry++)->identity = t.identity;
            return FileError::success();
        });
}

FileError Ledger::book(core::Transaction& entry)
{
    std::vector<core::Transaction> one{entry};
    const FileError e = book(one);
    if (e.ok())
        entry.identity = one.front().identity;
    return e;
}

FileError Ledger::bookOpeningBalance(const core::Account& account)
{
    core::Transaction t;
    t.sysId = account.sysId;
    t.dateofTransaction = platform::Clock::current().today();
    t.transactionDescription = QStringLiteral("Initial Account Balance");
    t.transactionType = QStringLiteral("B");
    t.transactionAmount = account.accountBalance;
    t.reconciledTransaction = 0;
    return add(t);
}

} // namespace fundora::transactions
