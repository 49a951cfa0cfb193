// The history's chart of the last twelve months' charges: every bar equals
// the analysis of its month, a click on a bar selects that month, and both
// equal what the generated data adds up to.
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseListView.h"
#include "tests/core/CoreFixture.h"
#include "transactions/BrowseTransactionHistoryWindow.h"
#include "transactions/ChargeChart.h"

#include <QButtonGroup>
#include <QTest>

#include <map>
#include <random>

using namespace fundora;
using platform::Decimal;

namespace {

class HistoryChartTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        clock().set(QDateTime(QDate(2026, 3, 10), QTime(12, 0)));
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Transactions));
        for (std::int32_t id : {1, 2}) {
            files->accounts.clear();
            files->accounts.record.sysId = id;
            files->accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
            ASSERT_TRUE(files->accounts.add().ok());
        }
    }
    // Random entries over fourteen months; returns account 1's reconciled charges by (year, month).
    std::map<std::pair<int, int>, Decimal> generate()
    {
        std::mt19937 random(77);
        std::map<std::pair<int, int>, Decimal> expected;
        const char* types[] = {"C", "C", "C", "P", "F", "I"};
        const platform::DayNumber today = clock().today();
        for (int i = 0; i < 400; ++i) {
            files->transactions.clear();
            auto& t = files->transactions.record;
            t.sysId = random() % 5 == 0 ? 2 : 1;
            t.dateofTransaction = today - static_cast<int>(random() % 430);
            t.transactionType = QString::fromLatin1(types[random() % 6]);
            t.transactionAmount = Decimal::fromUnits(static_cast<std::int64_t>(random() % 50000) + 1, 2);
            t.reconciledTransaction = random() % 4 == 0 ? 0 : 1;
            EXPECT_TRUE(files->transactions.add().ok());
            if (t.sysId == 1 && t.transactionType == QStringLiteral("C") && t.reconciledTransaction == 1) {
                const auto ymd = platform::dateOf(t.dateofTransaction);
                Decimal& sum = expected
                                   .try_emplace({static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month()))},
                                                Decimal::fromUnits(0, 2))
                                   .first->second;
                sum = (sum + t.transactionAmount).rounded(2);
            }
        }
        return expected;
    }
};

TEST_F(HistoryChartTest, EachBarEqualsItsMonthsAnalysisAndAClickSelectsThatMonth)
{
    const auto expected = generate();
    core::glo().currentSysid = 1;
    auto* w = new transactions::BrowseTransactionHistoryWindow(*files);
    w->list()->setFixedRowCount(10);
    w->resize(1100, 700);
    w->show();
    QCoreApplication::processEvents();
    transactions::ChargeChart* chart = w->chart();
    ASSERT_EQ(chart->months().size(), 12u);
    EXPECT_EQ(chart->months().front().month, 4);
    EXPECT_EQ(chart->months().front().year, 2025);
    EXPECT_EQ(chart->months().back().month, 3);
    EXPECT_EQ(chart->months().back().year, 2026);
    int clicked = 0;
    for (int i = 0; i < 12; ++i) {
        const transactions::AnalysisPeriod& month = chart->months()[static_cast<std::size_t>(i)];
        const Decimal bar = chart->sums()[static_cast<std::size_t>(i)];
        const auto it = expected.find({month.year, month.month});
        EXPECT_EQ(bar, it == expected.end() ? Decimal::fromUnits(0, 2) : it->second) << month.month << "/" << month.year;
        if (bar.isZero()) {
            w->selectMonth(month.month);
        } else {
            QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, chart->barCentre(i));
            QCoreApplication::processEvents();
            ++clicked;
        }
        EXPECT_EQ(w->monthSelector()->checkedId(), month.month) << "bar " << i;
        EXPECT_EQ(w->period().year, month.year) << "bar " << i;
        EXPECT_EQ(w->sumOfCharges(), bar) << "the analysis of " << month.month << "/" << month.year;
    }
    EXPECT_GT(clicked, 8) << "most months have charges";
    EXPECT_TRUE(chart->accessibleDescription().startsWith(QStringLiteral("4/2025: $"))) << chart->accessibleDescription().toStdString();
    w->close();
}

} // namespace
