#include "transactions/BrowseTransactionHistoryWindow.h"

#include "engine/ValueLabel.h"
#include "platform/Clock.h"
#include "platform/pictures/Picture.h"
#include "transactions/ChargeChart.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fundora::transactions {

using platform::Decimal;
using platform::FieldValue;

namespace {

TransactionListWindow::Setup historySetup(BrowseTransactionHistoryWindow* self)
{
    TransactionListWindow::Setup s;
    s.procedure = QStringLiteral("BrowseTransactionHistory");
    s.titlePrefix = QStringLiteral("Transaction History for ");
    s.helpContext = QStringLiteral("~BrowseTransactions");
    s.reconciled = 1;
    s.dateTab = QStringLiteral("Transactions by Date");
    s.typeTab = QStringLiteral("Transactions by Type");
    s.resets = [self](int order) {
        std::vector<engine::ResetField> r;
        if (order == 1)
            r.push_back(
                {QStringLiteral("TRA:ReconciledTransaction"), [self] { return FieldValue{std::int64_t{self->reconciledShown()}}; }, {}});
        return r;
    };
    return s;
}

constexpr const char* MonthNames[] = {"All", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

BrowseTransactionHistoryWindow::BrowseTransactionHistoryWindow(core::DataFiles& files, QWidget* parent)
    : TransactionListWindow(files, historySetup(this), parent)
{
    addProcedureButton(QStringLiteral("State&ments"), QStringLiteral("The statements reconciled so far"),
                       QStringLiteral("BrowseStatements"));
    addValue(QStringLiteral("Available Funds:"));
    addValue(QStringLiteral("Account Balance:"));
    auto* selector = new QGroupBox(QStringLiteral("Select Month to Query"), this);
    auto* grid = new QGridLayout(selector);
    m_months = new QButtonGroup(this);
    for (int m = 0; m <= 12; ++m) {
        auto* r = new QRadioButton(QString::fromLatin1(MonthNames[m]), selector);
        r->setAccessibleName(QString::fromLatin1(MonthNames[m]));
        m_months->addButton(r, m);
        grid->addWidget(r, m == 0 ? 0 : 1 + (m - 1) / 4, m == 0 ? 0 : (m - 1) % 4);
    }
    m_months->button(0)->setChecked(true);
    connect(m_months, &QButtonGroup::idClicked, this, &BrowseTransactionHistoryWindow::selectMonth);
    side()->addWidget(selector);
    m_period = analysisPeriod(0, platform::Clock::current().today());
    m_title = new QLabel(m_period.title, this);
    m_title->setAccessibleName(QStringLiteral("Analysis"));
    side()->addWidget(m_title);
    addValue(QStringLiteral("Number of Charges:"));
    addValue(QStringLiteral("Sum of Charges:"));
    addValue(QStringLiteral("Average of Charges:"));
    m_chart = new ChargeChart(this);
    connect(m_chart, &ChargeChart::monthClicked, this, &BrowseTransactionHistoryWindow::selectMonth);
    side()->addWidget(m_chart, 1);
    finishSetup();
}

QString BrowseTransactionHistoryWindow::analysisTitle() const
{
    return m_title->text();
}

void BrowseTransactionHistoryWindow::selectMonth(int month)
{
    if (m_months->checkedId() != month)
        m_months->button(month)->setChecked(true);
    m_period = analysisPeriod(month, platform::Clock::current().today());
    m_title->setText(m_period.title);
    engine().forceRefresh();
}

platform::View::Totals BrowseTransactionHistoryWindow::chargesIn(const AnalysisPeriod& period)
{
    // Only charges; of one month of its analysis year, or of all time. SQLite counts and sums them.
    QString condition = QStringLiteral("TRA:TransactionType = 'C'");
    platform::FilterBindings names;
    if (period.month != 0) {
        condition += QStringLiteral(" AND TRA:DateofTransaction >= LOC:MonthFirst AND TRA:DateofTransaction <= LOC:MonthLast");
        const std::int64_t first = period.first, last = period.last;
        names.bind(QStringLiteral("LOC:MonthFirst"), [first] { return FieldValue{first}; });
        names.bind(QStringLiteral("LOC:MonthLast"), [last] { return FieldValue{last}; });
    }
    return totalsOf(condition, names);
}

void BrowseTransactionHistoryWindow::computeTotals()
{
    const platform::View::Totals charges = chargesIn(m_period);
    m_count = charges.count;
    m_sum = Decimal::fromUnits(charges.sumUnits, 2);
    m_average = averageOf(m_sum, m_count);
    m_chartMonths = lastTwelveMonths(platform::Clock::current().today());
    m_chartSums.clear();
    for (const AnalysisPeriod& month : m_chartMonths)
        m_chartSums.push_back(Decimal::fromUnits(chargesIn(month).sumUnits, 2));
}

void BrowseTransactionHistoryWindow::refreshed()
{
    TransactionListWindow::refreshed();
    setValue(QStringLiteral("Account Balance"), account().accountBalance, QStringLiteral("n$(12.2)B"));
    setValue(QStringLiteral("Number of Charges"), Decimal::fromInteger(m_count), QStringLiteral("n6"));
    setValue(QStringLiteral("Sum of Charges"), m_sum, QStringLiteral("n-14.2"));
    setValue(QStringLiteral("Average of Charges"), m_average, QStringLiteral("n-14.2"));
    m_chart->setMonths(m_chartMonths, m_chartSums);
}

} // namespace fundora::transactions
