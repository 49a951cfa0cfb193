#pragma once

#include "transactions/AccountFigure.h"
#include "transactions/TransactionListWindow.h"

namespace fundora::transactions {

// BrowseCurrentTransactions: the current account's open transactions, their
// total and average charge, the account's balance and available funds, and
// the reconcile button that moves a transaction into the history; and the
// figure a later feature installs (AccountFigure).
class BrowseCurrentTransactionsWindow : public TransactionListWindow {
public:
    explicit BrowseCurrentTransactionsWindow(core::DataFiles& files, QWidget* parent = nullptr);

    platform::Decimal openTotal() const { return m_openTotal; }
    platform::Decimal averageCharge() const { return m_averageCharge; }
    // Reconciles the highlighted transaction after asking (the reconcile button).
    void reconcile();

    bool offersPayment() const override;
    // The frame's "Record a Payment" (toolbar command Payment): an insert primed as a payment.
    void onToolbarCommand(int command) override;

protected:
    engine::FormWindow* createForm(const engine::FormCall& call) override;
    void computeTotals() override;
    void refreshed() override;
    void setEditEnabled(bool changeAndDelete) override;

private:
    platform::Decimal m_openTotal = platform::Decimal::fromUnits(0, 2);
    platform::Decimal m_averageCharge = platform::Decimal::fromUnits(0, 2);
    std::unique_ptr<AccountFigure> m_figure;
    engine::ValueLabel* m_figureLabel = nullptr;
    std::optional<AccountFigure::Value> m_figureValue;
};

} // namespace fundora::transactions
