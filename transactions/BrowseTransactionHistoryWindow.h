#pragma once

#include "transactions/ChargeAnalysis.h"
#include "transactions/TransactionListWindow.h"

class QButtonGroup;

namespace fundora::transactions {

class ChargeChart;

// BrowseTransactionHistory: the current account's reconciled transactions,
// and the analysis of its charges of all time or of one month.
class BrowseTransactionHistoryWindow : public TransactionListWindow {
public:
    explicit BrowseTransactionHistoryWindow(core::DataFiles& files, QWidget* parent = nullptr);

    // Chooses the month to analyse (0 all), as the month selector does.
    void selectMonth(int month);
    const AnalysisPeriod& period() const { return m_period; }
    std::int64_t numberOfCharges() const { return m_count; }
    platform::Decimal sumOfCharges() const { return m_sum; }
    platform::Decimal averageOfCharges() const { return m_average; }
    QString analysisTitle() const;
    QButtonGroup* monthSelector() const { return m_months; }
    ChargeChart* chart() const { return m_chart; }

protected:
    void computeTotals() override;
    void refreshed() override;

private:
    platform::View::Totals chargesIn(const AnalysisPeriod& period);

    QButtonGroup* m_months = nullptr;
    class QLabel* m_title = nullptr;
    AnalysisPeriod m_period;
    std::int64_t m_count = 0;
    platform::Decimal m_sum = platform::Decimal::fromUnits(0, 2);
    platform::Decimal m_average = platform::Decimal::fromUnits(0, 2);
    ChargeChart* m_chart = nullptr;
    std::vector<AnalysisPeriod> m_chartMonths;
    std::vector<platform::Decimal> m_chartSums;
};

} // namespace fundora::transactions
