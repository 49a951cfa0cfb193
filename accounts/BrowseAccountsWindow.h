#pragma once

#include "engine/BrowseWindow.h"

class QGroupBox;
class QLabel;
class QProgressBar;

namespace fundora::engine {
class ValueLabel;
}

namespace fundora::accounts {

// BrowseAccounts: every account by vendor, the highlighted account's details,
// the total debt, and the buttons to open its notes and dial its numbers.
class BrowseAccountsWindow : public engine::BrowseWindow {
public:
    explicit BrowseAccountsWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~BrowseAccountsWindow() override;

    // The value a detail shows, by its prompt without the colon ("Current Balance").
    QString detail(const QString& name) const;
    platform::Decimal totalDebt() const { return m_totalDebt; }
    // The bar of the credit used by the highlighted account.
    QProgressBar* creditBar() const { return m_creditBar; }

protected:
    engine::FormWindow* createForm(const engine::FormCall& call) override;
    void buildRow(engine::BrowseRow& row) override;
    void computeTotals() override;
    void setEditEnabled(bool changeAndDelete) override;
    void refreshed() override;
    void opened() override;
    void closing() override;

private:
    void buildDetails();
    void buildStanding();
    void showStanding(const core::Account& account, bool any);
    void dial();
    void notes();
    void setFrameButtons(bool enabled);

    engine::TypedBuffer<core::Account> m_buffer;
    QHash<QString, engine::ValueLabel*> m_details;
    platform::Decimal m_totalDebt = platform::Decimal::fromUnits(0, 2);
    QGroupBox* m_standing = nullptr;
    engine::ValueLabel* m_interest = nullptr;
    QLabel* m_interestPrompt = nullptr;
    QProgressBar* m_creditBar = nullptr;
    QList<QWidget*> m_statementRows;
};

} // namespace fundora::accounts
