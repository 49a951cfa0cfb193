#include "transactions/TransactionFormRecord.h"

#include "core/FileTransaction.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "core/StandardWarning.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "transactions/Ledger.h"
#include "transactions/ReconciledEntries.h"
#include "transactions/TransactionText.h"

namespace fundora::transactions {

using core::Guarded;
using platform::Decimal;
using platform::FileError;

FileError reconcileTransaction(core::DataFiles& files)
{
    files.transactions.record.reconciledTransaction = 1;
    return files.transactions.put();
}

bool TransactionFormRecord::prime()
{
    core::Transaction& t = file().record; // the list primed the owner (TRA:SysID)
    t.dateofTransaction = platform::Clock::current().today();
    t.transactionType = QStringLiteral("C");
    t.transactionAmount = Decimal::fromUnits(0, 2);
    t.reconciledTransaction = 0;
    core::GlobalState& g = core::glo();
    if (m_payment || g.paymentRequest == 1) {
        t.transactionType = QStringLiteral("P");
        t.transactionDescription = QStringLiteral("Payment - Check number xxx");
    }
    m_payment = false;
    g.paymentRequest = 0; // a prime never outlives the insert it was asked for
    g.currentSysid = t.sysId;
    return true;
}

bool TransactionFormRecord::confirmSave(core::Request request)
{
    core::Transaction& t = working();
    if (t.transactionType == QStringLiteral("P")) {
        if (!t.transactionAmount.isNegative())
            t.transactionAmount = -t.transactionAmount;
        return true;
    }
    const bool wasNegative = request == core::Request::Change && opened().transactionAmount.isNegative();
    if (!t.transactionAmount.isNegative() || wasNegative)
        return true;
    const QString kind = transactionTypeDescription(t.transactionType);
    return platform::MessageService::current().show(
               {QStringLiteral("Negative Amount"),
                QStringLiteral("The amount %1 is negative: it lowers the balance as a payment or credit does, but this transaction "
                               "is of the type %2.\r\n\r\nSave it as %2 with a negative amount? Choose No to change the amount or "
                               "the type (a payment or credit is Pmt/Credit).")
                    .arg(t.transactionAmount.toString(), kind),
                platform::MessageIcon::Question, platform::Button::Yes | platform::Button::No, platform::Button::No}) ==
           platform::Button::Yes;
}

FileError TransactionFormRecord::writeInsert()
{
    // The buffer holds the form's copy (its sign settled by confirmSave); if anything fails the form keeps what was typed.
    core::Transaction& t = file().record;
    core::Transaction booked = t;
    const FileError e = Ledger(m_files).book(booked);
    if (e.ok())
        t.identity = booked.identity;
    return e;
}

namespace {

// The keeper of reconciled entries to ask about a change of `stored`, if it is reconciled.
ReconciledEntries* keeperFor(const core::Transaction& stored)
{
    return stored.reconciledTransaction != 0 ? ReconciledEntries::current() : nullptr;
}

} // namespace

Guarded TransactionFormRecord::guardedUpdate()
{
    // Asked before the files are locked: the user may take a while to answer.
    const core::Transaction before = opened();
    ReconciledEntries* keeper = keeperFor(before);
    if (keeper && !keeper->confirmChange(m_files, before, &file().record))
        return Guarded::Refused;
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return framingFailed(tx, QStringLiteral("Update"));
    core::Transaction edited = file().record;
    FileError e = Ledger(m_files).change(edited);
    if (e.code == platform::ErrorCode::ChangedElsewhere || e.code == platform::ErrorCode::RecordNotFound) {
        // Another station changed or deleted it: say so, and show what is stored now (if anything).
        m_files.savedError.save(e);
        tx.rollback();
        core::standardWarning(m_files, core::Warning::UpdateOperationError, QStringLiteral("Record Changed by Another Station"));
        file().reget(file().position(core::TraSysIDKey));
        return Guarded::ChangedByOther;
    }
    if (e.ok() && keeper)
        e = keeper->followChange(m_files, before, &edited);
    if (e.ok())
        e = tx.commit();
    if (!e.ok())
        return writeFailed(tx, e, core::Warning::UpdateOperationError);
    file().record = edited;
    return Guarded::Done;
}

Guarded TransactionFormRecord::guardedDelete()
{
    const core::Transaction listed = file().record;
    ReconciledEntries* keeper = keeperFor(listed);
    if (keeper && !keeper->confirmChange(m_files, listed, nullptr))
        return Guarded::Refused;
    // Opened before the transaction begins: the delete takes what the features keep of the transaction along.
    const core::FileUses kept(m_files, core::filesOfATransaction());
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return framingFailed(tx, QStringLiteral("Delete"));
    // The transaction as it is stored when deleted: the list's copy may be
    // older, if another station changed its amount since.
    core::Transaction gone;
    FileError e = Ledger(m_files).remove(listed.identity.row, gone);
    if (e.ok() && keeperFor(gone))
        e = keeperFor(gone)->followChange(m_files, gone, nullptr);
    if (e.ok())
        e = tx.commit();
    if (!e.ok())
        return writeFailed(tx, e, core::Warning::DeleteOperationError);
    file().record = gone;
    return Guarded::Done;
}

Guarded TransactionFormRecord::framingFailed(const core::FileTransaction& tx, const QString& action)
{
    m_files.savedError.save(tx.beginError());
    core::standardWarning(m_files, core::Warning::TransactionFramingError, action, m_files.transactions.def().label);
    return Guarded::Failed;
}

Guarded TransactionFormRecord::writeFailed(core::FileTransaction& tx, const FileError& e, int warning)
{
    m_files.savedError.save(e);
    tx.rollback();
    core::standardWarning(m_files, warning, m_files.accounts.def().label);
    return Guarded::Failed;
}

} // namespace fundora::transactions
