#pragma once

#include "platform/Decimal.h"
#include "transactions/ChargeAnalysis.h"

#include <QChartView>

#include <vector>

class QBarSet;
class QBarSeries;
class QBarCategoryAxis;
class QValueAxis;

namespace fundora::transactions {

// A bar chart of the charges of the last twelve months. A click on a bar
// asks for that month's analysis. Screen readers hear each month's sum in the
// chart's description.
class ChargeChart final : public QChartView {
    Q_OBJECT
public:
    explicit ChargeChart(QWidget* parent = nullptr);

    // The months, oldest first, and their sums of charges.
    void setMonths(std::vector<AnalysisPeriod> months, std::vector<platform::Decimal> sums);
    const std::vector<AnalysisPeriod>& months() const { return m_months; }
    const std::vector<platform::Decimal>& sums() const { return m_sums; }
    // Where bar `index` is drawn, half way up, in the view's coordinates.
    QPoint barCentre(int index) const;

signals:
    void monthClicked(int month);

private:
    std::vector<AnalysisPeriod> m_months;
    std::vector<platform::Decimal> m_sums;
    QBarSeries* m_series;
    QBarSet* m_set;
    QBarCategoryAxis* m_categories;
    QValueAxis* m_values;
};

} // namespace fundora::transactions
