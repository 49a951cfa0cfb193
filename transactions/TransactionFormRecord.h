#pragma once

#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/GuardedWrites.h"
#include "engine/UpdateFormController.h"

namespace fundora::transactions {

// What the transaction form does with its transaction, and the balance rule:
// the owning account's balance follows every transaction saved or deleted.
//
// Each save is one commit over both files: the transaction and the account's
// new balance are written together or not at all. The balance is changed from
// the account as stored at that moment (inside the commit no other station can
// write it), never from a copy read when the form opened, so two stations
// booking on one account at once both count. The same rule holds for OK and
// for the toolbar's save-and-move commands.
class TransactionFormRecord : public engine::BufferedRecord<core::Transaction> {
public:
    explicit TransactionFormRecord(core::DataFiles& files) : BufferedRecord(files.transactions), m_files(files) {}

    // Insert defaults (charge, today, 0.00), or a payment when the request
    // that opened the form asked for one (primeAsPayment, or GLO:PaymentRequest
    // set by a caller of the original's kind). Either is used once.
    bool prime() override;
    void primeAsPayment() { m_payment = true; }
    // A payment or credit is stored negative whatever sign was typed, on
    // insert and on change alike, so a change never turns it into a charge. A
    // negative amount on any other type lowers the balance as a credit does:
    // asked first (default No), unless the transaction was negative already.
    bool confirmSave(core::Request request) override;
    // The balance rises by the stored amount.
    platform::FileError writeInsert() override;
    // The balance changes by the new amount less the amount as read.
    core::Guarded guardedUpdate() override;
    // The balance falls by the stored amount (rises for a payment).
    core::Guarded guardedDelete() override;
    QString duplicateKeyName() const override { return QStringLiteral("TRA:SysIDKey"); }

    // The account the transaction belongs to.
    std::int32_t account() const { return working().sysId; }

private:
    core::Guarded framingFailed(const core::FileTransaction& tx, const QString& action);
    core::Guarded writeFailed(core::FileTransaction& tx, const platform::FileError& e, int warning);

    core::DataFiles& m_files;
    bool m_payment = false;
};

// Marks the transaction in the buffer (read with its version) reconciled: one
// plain write, refused when another station changed it since. The account's
// balance is not touched: it holds the amount already.
platform::FileError reconcileTransaction(core::DataFiles& files);

} // namespace fundora::transactions
