#include "accounts/AccountFormRecord.h"

#include "core/Autonumber.h"
#include "core/FileTransaction.h"
#include "core/GuardedWrites.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"

namespace fundora::accounts {

void AccountFormRecord::takeSavedCopy()
{
    BufferedRecord::takeSavedCopy();
    m_files.integrity.snapSysId = opened().sysId;
}

bool AccountFormRecord::prime()
{
    return core::autonumberAccount(m_files) == core::AutonumberResult::Added;
}

platform::FileError AccountFormRecord::writeInsert()
{
    // The account and its opening balance are one commit: both are written or neither.
    core::FileUse transactions(m_files, core::FileId::Transactions);
    if (!transactions.ok())
        return m_files.store.lastError();
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return tx.beginError();
    if (platform::FileError e = m_files.accounts.put(); !e.ok())
        return e;
    if (platform::FileError e = bookOpeningBalance(m_files); !e.ok())
        return e;
    return tx.commit();
}

core::Guarded AccountFormRecord::guardedUpdate()
{
    return core::riUpdateAccounts(m_files, false);
}

core::Guarded AccountFormRecord::guardedDelete()
{
    return core::riDeleteAccounts(m_files);
}

void AccountFormRecord::discardPrimed()
{
    // The primed record is deleted by its own identity, whatever the user typed.
    auto& accounts = m_files.accounts;
    accounts.record = opened();
    accounts.record.identity = working().identity;
    if (accounts.record.identity.isStored() && !accounts.remove().ok()) {
        // Written over meanwhile (another station): read it again and delete what is stored.
        if (accounts.reget(accounts.position(core::AccSysIDKey)).ok())
            accounts.remove();
    }
    accounts.clear();
}

platform::FileError AccountFormRecord::bookOpeningBalance(core::DataFiles& files)
{
    core::FileUse transactions(files, core::FileId::Transactions);
    if (!transactions.ok())
        return files.store.lastError();
    const core::Account& account = files.accounts.record;
    auto& tra = files.transactions;
    tra.clear();
    tra.record.sysId = account.sysId;
    tra.record.dateofTransaction = platform::Clock::current().today();
    tra.record.transactionDescription = QStringLiteral("Initial Account Balance");
    tra.record.transactionType = QStringLiteral("B");
    tra.record.transactionAmount = account.accountBalance;
    tra.record.reconciledTransaction = 0;
    return tra.add();
}

} // namespace fundora::accounts
