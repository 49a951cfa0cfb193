#include "accounts/AccountFormRecord.h"

#include "transactions/Ledger.h"

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
    return transactions::Ledger(files).bookOpeningBalance(files.accounts.record);
}

} // namespace fundora::accounts
