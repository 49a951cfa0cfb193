#pragma once

#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "planning/PlanModels.h"
#include "planning/PlanPages.h"

#include <QWidget>

class QChartView;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QTabWidget;

namespace fundora::engine {
class ValueLabel;
}

namespace fundora::planning {

// The payoff plan: the amount the user can pay each month and the order, the
// plan it gives (how long, what interest, the month each card is paid off),
// the strategies side by side with paying only the minimums, the plan month
// by month and a chart of the balances.
class PayoffPlanWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PayoffPlanWindow(core::DataFiles& files, QWidget* parent = nullptr);

    // Makes the plan from what the window holds (as "Make Plan" does).
    void makePlan();
    // Prints the plan (made first when there is none) to the destination the user picks: preview, printer or PDF.
    void print();
    QString summary() const;
    const PlanMonthsModel& months() const { return m_months; }
    const PlanComparisonModel& comparison() const { return m_comparison; }
    PlanCardsModel& cards() { return m_cards; }
    QChartView* chart() const { return m_chart; }

private:
    // Reads the cards with balances and the rules set for them; false (said in the summary) when they cannot be read.
    bool readCards();
    void showChart(const PayoffPlan& plan);

    core::DataFiles& m_files;
    core::FileUses m_uses; // Accounts and PlanRules
    PlanCardsModel m_cards;
    PlanMonthsModel m_months;
    PlanComparisonModel m_comparison;
    QLineEdit* m_monthly;
    QComboBox* m_order;
    QPushButton* m_make;
    QPushButton* m_print;
    engine::ValueLabel* m_summary;
    QTableView* m_cardsView;
    QTableView* m_comparisonView;
    QTabWidget* m_tabs;
    QTableView* m_monthsView;
    QChartView* m_chart;
    std::optional<PayoffPlan> m_plan; // the plan shown, with what its pages say of it
    PlanHeading m_heading;
};

} // namespace fundora::planning
