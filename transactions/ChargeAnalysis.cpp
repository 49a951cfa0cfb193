#include "transactions/ChargeAnalysis.h"

namespace fundora::transactions {

AnalysisPeriod analysisPeriod(int month, platform::DayNumber today)
{
    using namespace std::chrono;
    AnalysisPeriod p;
    if (month < 1 || month > 12) {
        p.title = QStringLiteral("Analysis of All Charge Transactions");
        return p;
    }
    p.month = month;
    const year_month_day now = platform::dateOf(today);
    // A month later in the year than today's means that month of last year.
    p.year = static_cast<int>(now.year()) - (static_cast<unsigned>(now.month()) < static_cast<unsigned>(month) ? 1 : 0);
    const year_month ym{year{p.year}, std::chrono::month{static_cast<unsigned>(month)}};
    p.first = platform::dayNumberOf(year_month_day{ym / 1});
    p.last = platform::dayNumberOf(year_month_day{ym / last});
    p.title = QStringLiteral("Analysis of Charges in %1/%2").arg(month).arg(p.year);
    return p;
}

std::vector<AnalysisPeriod> lastTwelveMonths(platform::DayNumber today)
{
    const int current = static_cast<int>(static_cast<unsigned>(platform::dateOf(today).month()));
    std::vector<AnalysisPeriod> months;
    for (int back = 11; back >= 0; --back)
        months.push_back(analysisPeriod((current - 1 - back + 12) % 12 + 1, today));
    return months;
}

platform::Decimal averageOf(const platform::Decimal& sum, std::int64_t count)
{
    if (count <= 0)
        return platform::Decimal::fromUnits(0, 2);
    return sum.dividedBy(platform::Decimal::fromInteger(count), 2).value_or(platform::Decimal::fromUnits(0, 2));
}

} // namespace fundora::transactions
