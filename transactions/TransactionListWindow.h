#pragma once

#include "engine/BrowseWindow.h"

class QLabel;
class QTimer;

namespace fundora::engine {
class ValueLabel;
}

namespace fundora::transactions {

// What the current transactions and the history share: the transactions of
// the current account (GLO:CurrentSysid) by date or by type, one tab each,
// with their coloured amounts, the window's title after the account, its
// available funds, the status line with the date and time, and the
// transaction form. `reconciled` chooses which of the account's transactions
// the list shows (0 open, 1 history).
class TransactionListWindow : public engine::BrowseWindow {
public:
    struct Setup {
        QString procedure;
        QString titlePrefix; // "Current Transactions for "
        QString helpContext;
        int reconciled = 0;
        QString dateTab;
        QString typeTab;
        // Extra reset fields per sort order (the totals), after the account's.
        std::function<std::vector<engine::ResetField>(int order)> resets;
    };
    ~TransactionListWindow() override;

    const core::Account& account() const { return m_account; }
    platform::Decimal availableFunds() const { return m_availableFunds; }
    // The reconciled flag of the transaction the list last loaded into the buffer.
    int reconciledShown() const;
    // What the status line shows.
    QString statusDate() const;
    QString statusTime() const;
    // The value shown beside a prompt ("Account Balance").
    QString value(const QString& prompt) const;

protected:
    TransactionListWindow(core::DataFiles& files, Setup setup, QWidget* parent = nullptr);

    engine::FormWindow* createForm(const engine::FormCall& call) override;
    void beforeRefresh() override;
    void refreshed() override;
    void buildRow(engine::BrowseRow& row) override;
    void primeRange(platform::Record& r) override;

    // A button that starts another procedure on the window's account (off when this build has none of that name).
    void addProcedureButton(const QString& text, const QString& tip, const QString& procedure);
    // A labelled value beside the list.
    engine::ValueLabel* addValue(const QString& prompt);
    // Shows or hides a value added with addValue() and its prompt.
    void showValue(engine::ValueLabel* value, bool shown);
    void setValue(const QString& prompt, const platform::Decimal& amount, const QString& picture = QStringLiteral("n$(12.2)"));
    // Count and sum over the list's transactions that `condition` lets through (SQLite computes them).
    platform::View::Totals totalsOf(const QString& condition, const platform::FilterBindings& names = {});

private:
    static engine::BrowseDefinition definitionFor(const Setup& setup, std::function<const core::Account&()> account);
    void loadAccount();
    void tick();

    Setup m_setup;
    engine::TypedBuffer<core::Transaction> m_buffer;
    core::Account m_account;
    std::int32_t m_openedFor = 0; // the account's SysID, fixed when the window first loads
    QString m_cardTypeText;
    platform::Decimal m_availableFunds = platform::Decimal::fromUnits(0, 2);
    QHash<QString, engine::ValueLabel*> m_values;
    QHash<engine::ValueLabel*, QWidget*> m_prompts; // the prompt before each value
    engine::ValueLabel* m_statusDate = nullptr;
    engine::ValueLabel* m_statusTime = nullptr;
    QTimer* m_clock = nullptr;
};

} // namespace fundora::transactions
