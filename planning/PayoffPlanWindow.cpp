#include "planning/PayoffPlanWindow.h"

#include "engine/ValueLabel.h"
#include "planning/PlanCards.h"
#include "platform/Clock.h"
#include "platform/pictures/MoneyText.h"
#include "platform/report/ReportManager.h"

#include <QAbstractItemDelegate>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace fundora::planning {

namespace {

QTableView* tableOf(QAbstractItemModel* model, const QString& name, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setAccessibleName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

} // namespace

PayoffPlanWindow::PayoffPlanWindow(core::DataFiles& files, QWidget* parent)
    : QWidget(parent), m_files(files), m_uses(files, {core::FileId::Accounts, planRulesFile()}), m_cards(this), m_months(this),
      m_comparison(this)
{
    setWindowTitle(QStringLiteral("Payoff Plan"));
    setAccessibleName(QStringLiteral("Payoff Plan"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    m_monthly = new QLineEdit(this);
    m_monthly->setAccessibleName(QStringLiteral("Monthly amount"));
    m_monthly->setPlaceholderText(QStringLiteral("as 500 or 1,250.00"));
    form->addRow(QStringLiteral("&Monthly amount:"), m_monthly);
    m_order = new QComboBox(this);
    m_order->setAccessibleName(QStringLiteral("Order"));
    m_order->addItem(QStringLiteral("Highest rate first (avalanche)"), static_cast<int>(Strategy::Avalanche));
    m_order->addItem(QStringLiteral("Smallest balance first (snowball)"), static_cast<int>(Strategy::Snowball));
    m_order->addItem(QStringLiteral("Your order (by account)"), static_cast<int>(Strategy::OwnOrder));
    form->addRow(QStringLiteral("O&rder:"), m_order);
    column->addLayout(form);
    // What the user sets per card, edited in place (F2 or typing) and kept at once.
    auto* cardsPrompt = new QLabel(QStringLiteral("C&ards (the minimum rule and your order may be changed):"), this);
    column->addWidget(cardsPrompt);
    m_cardsView = tableOf(&m_cards, QStringLiteral("Cards"), this);
    m_cardsView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_cardsView->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_cardsView->setMaximumHeight(150);
    cardsPrompt->setBuddy(m_cardsView);
    column->addWidget(m_cardsView);
    auto* buttons = new QHBoxLayout();
    m_make = new QPushButton(QStringLiteral("Make &Plan"), this);
    m_make->setAccessibleName(QStringLiteral("Make Plan"));
    m_make->setDefault(true);
    m_print = new QPushButton(QStringLiteral("Pri&nt..."), this);
    m_print->setAccessibleName(QStringLiteral("Print"));
    auto* close = new QPushButton(QStringLiteral("Cl&ose"), this);
    close->setAccessibleName(QStringLiteral("Close"));
    buttons->addWidget(m_make);
    buttons->addWidget(m_print);
    buttons->addStretch();
    buttons->addWidget(close);
    column->addLayout(buttons);
    m_summary = new engine::ValueLabel(QStringLiteral("Plan"), this);
    m_summary->setWordWrap(true);
    column->addWidget(m_summary);
    m_comparisonView = tableOf(&m_comparison, QStringLiteral("Ways of paying side by side"), this);
    m_comparisonView->setMaximumHeight(140);
    column->addWidget(m_comparisonView);
    m_tabs = new QTabWidget(this);
    m_monthsView = tableOf(&m_months, QStringLiteral("Month by month"), m_tabs);
    m_tabs->addTab(m_monthsView, QStringLiteral("Month by Mont&h"));
    m_chart = new QChartView(new QChart, m_tabs);
    m_chart->setAccessibleName(QStringLiteral("Balances over time"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_tabs->addTab(m_chart, QStringLiteral("&Chart"));
    column->addWidget(m_tabs, 1);

    connect(m_cardsView->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        if (!m_cards.refusal().isEmpty())
            m_summary->setValue(m_cards.refusal());
    });
    connect(m_make, &QPushButton::clicked, this, &PayoffPlanWindow::makePlan);
    connect(m_monthly, &QLineEdit::returnPressed, this, &PayoffPlanWindow::makePlan);
    connect(m_print, &QPushButton::clicked, this, &PayoffPlanWindow::print);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(m_monthly, m_order);
    setTabOrder(m_order, m_cardsView);
    setTabOrder(m_cardsView, m_make);
    setTabOrder(m_make, m_print);
    setTabOrder(m_print, m_comparisonView);
    setTabOrder(m_comparisonView, m_tabs);
    setTabOrder(m_tabs, close);
    resize(640, 620);
    readCards();
}

bool PayoffPlanWindow::readCards()
{
    std::vector<PlanCard> cards;
    std::map<std::int32_t, PlanRule> rules;
    platform::FileError e = m_uses.ok() ? readPlanRules(m_files, rules) : platform::FileError::of(platform::ErrorCode::FileNotOpen);
    if (e.ok())
        e = readPlanCards(m_files, cards);
    if (!e.ok()) {
        m_summary->setValue(QStringLiteral("The accounts could not be read: %1").arg(e.text));
        return false;
    }
    m_cards.setCards(std::move(cards), std::move(rules), [this](PlanRule& rule) { return savePlanRule(m_files, rule); });
    return true;
}

QString PayoffPlanWindow::summary() const
{
    return m_summary->text();
}

void PayoffPlanWindow::makePlan()
{
    m_plan.reset();
    m_months.setPlan(std::nullopt);
    m_comparison.setRows({});
    m_chart->chart()->removeAllSeries();
    const std::optional<platform::Decimal> monthly = platform::readMoney(m_monthly->text(), 2);
    if (!monthly || !(*monthly > platform::Decimal::fromUnits(0, 2))) {
        m_summary->setValue(QStringLiteral("Type the amount you can pay each month over all the cards, above 0, as 500 or 1,250.00."));
        m_monthly->setFocus();
        return;
    }
    // Read again: another station may have booked since the window opened.
    if (!readCards())
        return;
    const std::vector<PlanCard>& cards = m_cards.cards();
    if (cards.empty()) {
        m_summary->setValue(QStringLiteral("No card has a balance: there is nothing to pay off."));
        return;
    }
    const auto strategy = static_cast<Strategy>(m_order->currentData().toInt());
    const PlanOutcome chosen = planning::makePlan(cards, strategy, *monthly);
    std::vector<PlanComparisonModel::Row> rows;
    for (int i = 0; i < m_order->count(); ++i) {
        const auto s = static_cast<Strategy>(m_order->itemData(i).toInt());
        rows.push_back({m_order->itemText(i), s == strategy ? chosen : planning::makePlan(cards, s, *monthly)});
    }
    rows.push_back({QStringLiteral("Only the minimums"), minimumsOnly(cards)});
    m_heading = {strategy, *monthly, platform::Clock::current().today(), rows.back().outcome};
    m_comparison.setRows(std::move(rows));
    if (!chosen.plan) {
        m_summary->setValue(chosen.refusal);
        return;
    }
    const PayoffPlan& plan = *chosen.plan;
    QStringList paidOff;
    for (std::size_t i = 0; i < plan.cards.size(); ++i)
        paidOff << QStringLiteral("%1 in month %2").arg(plan.cards[i].name).arg(plan.paidOffIn[i]);
    m_summary->setValue(QStringLiteral("Every card is paid off in %1 months with %2 of interest. Paid off: %3.")
                            .arg(plan.length())
                            .arg(planMoney(plan.totalInterest), paidOff.join(QStringLiteral(", "))));
    m_months.setPlan(plan);
    showChart(plan);
    m_plan = plan;
}

void PayoffPlanWindow::print()
{
    if (!m_plan)
        makePlan();
    if (!m_plan)
        return; // the summary says why there is none
    platform::ReportJob job;
    job.procedure = QStringLiteral("PayoffPlan");
    job.title = QStringLiteral("Payoff Plan");
    job.parent = this;
    const platform::ReportDestination destination = platform::ReportManager::current().chooseDestination(job);
    if (destination == platform::ReportDestination::Cancelled)
        return;
    platform::PageQueue pages;
    QString error;
    if (!writePlanPages(*m_plan, m_heading, pages, &error)) {
        m_summary->setValue(QStringLiteral("The plan could not be printed: %1").arg(error));
        return;
    }
    platform::ReportManager::current().present(job, destination, pages);
}

void PayoffPlanWindow::showChart(const PayoffPlan& plan)
{
    QChart* chart = m_chart->chart();
    // The previous plan's axes: a chart gives a removed axis back to its caller, who deletes it.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* months = new QValueAxis;
    months->setTitleText(QStringLiteral("Month"));
    months->setLabelFormat(QStringLiteral("%d"));
    months->setRange(0, plan.length());
    auto* balances = new QValueAxis;
    balances->setTitleText(QStringLiteral("Balance"));
    double highest = 0;
    for (std::size_t i = 0; i < plan.cards.size(); ++i) {
        auto* series = new QLineSeries;
        series->setName(plan.cards[i].name);
        // Drawn only: the plan's figures stay exact decimals.
        const double start = plan.cards[i].balance.toString().toDouble();
        series->append(0, start);
        highest = std::max(highest, start);
        for (int m = 0; m < plan.length(); ++m)
            series->append(m + 1, plan.months[static_cast<std::size_t>(m)][i].balance.toString().toDouble());
        chart->addSeries(series);
    }
    balances->setRange(0, highest);
    chart->addAxis(months, Qt::AlignBottom);
    chart->addAxis(balances, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(months);
        s->attachAxis(balances);
    }
    m_chart->setAccessibleDescription(m_summary->text());
}

} // namespace fundora::planning
