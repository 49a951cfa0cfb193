#include "accounts/AccountFormRecord.h"

#include "core/Autonumber.h"
#include "core/FileTransaction.h"
#include "core/GuardedWrites.h"
#include "core/OpenFile.h"
#include "core/StandardWarning.h"
#include "platform/Clock.h"
#include "platform/Runtime.h"

namespace fundora::accounts {

void AccountFormRecord::takeSavedCopy()
{
    m_saved = m_files.accounts.record;
    m_files.integrity.snapSysId = m_saved.sysId;
}

bool AccountFormRecord::changedSinceCopy() const
{
    const auto& layout = core::accountLayout();
    return layout.toRecord(m_files.accounts.record).values != layout.toRecord(m_saved).values;
}

bool AccountFormRecord::prime()
{
    if (core::autonumberAccount(m_files) != core::AutonumberResult::Added)
        return false;
    takeSavedCopy();
    return true;
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

int AccountFormRecord::guardedUpdate()
{
    return core::riUpdateAccounts(m_files, false);
}

int AccountFormRecord::guardedDelete()
{
    return core::riDeleteAccounts(m_files);
}

void AccountFormRecord::discardPrimed()
{
    // The buffer may hold what the user typed; the primed record is deleted by its own identity.
    core::Account primed = m_files.accounts.record;
    m_files.accounts.record = m_saved;
    m_files.accounts.record.identity = primed.identity;
    if (m_files.accounts.record.identity.isStored() && !m_files.accounts.remove().ok()) {
        // Written over meanwhile (another station): read it again and delete what is stored.
        if (m_files.accounts.reget(m_files.accounts.position(core::AccSysIDKey)).ok())
            m_files.accounts.remove();
    }
    m_files.accounts.clear();
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
