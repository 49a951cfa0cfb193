#include "transactions/Ledger.h"

#include "core/FileTransaction.h"
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

FileError Ledger::book(std::vector<core::Transaction>& entries)
{
    if (entries.empty())
        return FileError::success();
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return tx.beginError();
    Decimal sum = Decimal::fromUnits(0, 2);
    for (core::Transaction& t : entries) {
        if (FileError e = add(t); !e.ok())
            return e;
        sum += t.transactionAmount;
    }
    if (!sum.isZero())
        if (FileError e = moveBalance(entries.front().sysId, sum); !e.ok())
            return e;
    return tx.commit();
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
