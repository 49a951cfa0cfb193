#pragma once

#include "core/OpenFile.h"
#include "engine/FormWindow.h"
#include "transactions/TransactionFormRecord.h"

#include <memory>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace fundora::transactions {

// UpdateTransactions: the form of one transaction of an account.
class UpdateTransactionsWindow : public engine::FormWindow {
public:
    explicit UpdateTransactionsWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~UpdateTransactionsWindow() override;

    QLineEdit* edit(const QString& prompt) const;
    QButtonGroup* typeGroup() const { return m_type; }
    QCheckBox* reconciled() const { return m_reconciled; }
    QString vendorShown() const;
    // The insert this form runs records a payment (the frame's "Record a Payment").
    void primeAsPayment() { m_record.primeAsPayment(); }

protected:
    QString titleFor(core::Request request) const override;
    QString helpContext() const override { return QStringLiteral("~UpdateTransactions"); }
    void refreshed() override;

private:
    void build();

    // The form holds the account's files (the statements too: a change of a
    // reconciled transaction keeps its statement in step) while it is open.
    std::unique_ptr<core::AccountFileUses> m_uses;
    TransactionFormRecord m_record;
    QHash<QString, QLineEdit*> m_edits;
    QButtonGroup* m_type = nullptr;
    QCheckBox* m_reconciled = nullptr;
    QLabel* m_vendor = nullptr;
};

} // namespace fundora::transactions
