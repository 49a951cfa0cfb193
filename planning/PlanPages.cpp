#include "planning/PlanPages.h"

#include "platform/pictures/Picture.h"
#include "reports/BandedPages.h"

namespace fundora::planning {

namespace {

// Columns of a month's line, in layout units from the detail area's left edge.
constexpr int MonthRight = 600;
constexpr int CardLeft = 800;
constexpr int CardWidth = 3000;
constexpr int PaymentRight = 4900;
constexpr int InterestRight = 6100;
constexpr int BalanceRight = 7400;
constexpr int AmountWidth = 1100;
constexpr int Line = 190;

class PlanLayout final : public reports::BandLayout {
public:
    PlanLayout(const PayoffPlan& plan, const PlanHeading& heading) : m_plan(plan), m_heading(heading) {}

    void setLine(int month, std::size_t card)
    {
        m_month = month;
        m_card = card;
    }

    QRect detailArea() const override { return {500, 1700, 7500, 8600}; }
    int detailHeight() const override { return Line; }
    int groupFooterHeight() const override { return Line * (static_cast<int>(m_plan.cards.size()) + 4); }

    void pageHeader(platform::ReportPage& page) const override
    {
        page.text({500, 500, 0, 0}, QStringLiteral("Payoff Plan"), reports::font(14, true));
        page.text({500, 850, 0, 0},
                  QStringLiteral("Order: %1    Monthly amount: %2    Months: %3    Interest: %4")
                      .arg(strategyName(m_heading.strategy), planMoney(m_heading.monthly))
                      .arg(m_plan.length())
                      .arg(planMoney(m_plan.totalInterest)),
                  reports::font(10));
        const int y = 1400;
        const platform::ReportFont bold = reports::font(9, true);
        page.text({500, y, MonthRight, 0}, QStringLiteral("Month"), bold, Qt::AlignRight);
        page.text({500 + CardLeft, y, CardWidth, 0}, QStringLiteral("Card"), bold);
        page.text({500 + PaymentRight - AmountWidth, y, AmountWidth, 0}, QStringLiteral("Payment"), bold, Qt::AlignRight);
        page.text({500 + InterestRight - AmountWidth, y, AmountWidth, 0}, QStringLiteral("Interest"), bold, Qt::AlignRight);
        page.text({500 + BalanceRight - AmountWidth, y, AmountWidth, 0}, QStringLiteral("Balance"), bold, Qt::AlignRight);
        page.line({500, y + 220}, {500 + BalanceRight, y + 220});
    }

    void pageFooter(platform::ReportPage& page, int pageNumber) const override
    {
        page.text({500, 10450, 3000, 0}, QStringLiteral("Made on %1").arg(platform::formatPicture(std::int64_t{m_heading.madeOn}, u"d2")),
                  reports::font(8));
        page.text({500 + BalanceRight - 1000, 10450, 1000, 0}, reports::pageNumberText(pageNumber), reports::font(8), Qt::AlignRight);
    }

    void detail(platform::ReportPage& page, const QPoint& o) const override
    {
        const CardMonth& cm = m_plan.months[static_cast<std::size_t>(m_month)][m_card];
        const platform::ReportFont normal = reports::font(9);
        page.text({o.x(), o.y(), MonthRight, 0}, QString::number(m_month + 1), normal, Qt::AlignRight);
        page.text({o.x() + CardLeft, o.y(), CardWidth, 0}, m_plan.cards[m_card].name, normal);
        amount(page, o, PaymentRight, cm.payment, normal);
        amount(page, o, InterestRight, cm.interest, normal);
        amount(page, o, BalanceRight, cm.balance, normal);
    }

    void groupFooter(platform::ReportPage& page, const QPoint& o) const override
    {
        const platform::ReportFont normal = reports::font(9);
        int y = o.y() + Line / 2;
        page.line({o.x(), y}, {o.x() + BalanceRight, y});
        y += Line / 2;
        for (std::size_t i = 0; i < m_plan.cards.size(); ++i, y += Line)
            page.text({o.x(), y, 0, 0}, QStringLiteral("%1 is paid off in month %2.").arg(m_plan.cards[i].name).arg(m_plan.paidOffIn[i]),
                      normal);
        page.text({o.x(), y, 0, 0},
                  QStringLiteral("Every card is paid off in %1 months with %2 of interest.")
                      .arg(m_plan.length())
                      .arg(planMoney(m_plan.totalInterest)),
                  reports::font(9, true));
        y += Line;
        const PlanOutcome& minimums = m_heading.minimumsOnly;
        page.text({o.x(), y, 0, 0},
                  minimums.plan ? QStringLiteral("Paying only the minimums: %1 months with %2 of interest.")
                                      .arg(minimums.plan->length())
                                      .arg(planMoney(minimums.plan->totalInterest))
                                : QStringLiteral("Paying only the minimums: more than %1 months.").arg(MostMonths),
                  normal);
    }

private:
    static void amount(platform::ReportPage& page, const QPoint& o, int right, const platform::Decimal& value,
                       const platform::ReportFont& font)
    {
        page.text({o.x() + right - AmountWidth, o.y(), AmountWidth, 0}, planMoney(value), font, Qt::AlignRight);
    }

    const PayoffPlan& m_plan;
    const PlanHeading& m_heading;
    int m_month = 0;
    std::size_t m_card = 0;
};

} // namespace

std::vector<QStringList> planRows(const PayoffPlan& plan)
{
    std::vector<QStringList> rows{{QStringLiteral("Month"), QStringLiteral("SysID"), QStringLiteral("Card"), QStringLiteral("Payment"),
                                   QStringLiteral("Interest"), QStringLiteral("Balance")}};
    for (int m = 0; m < plan.length(); ++m)
        for (std::size_t i = 0; i < plan.cards.size(); ++i) {
            const CardMonth& cm = plan.months[static_cast<std::size_t>(m)][i];
            rows.push_back({QString::number(m + 1), QString::number(plan.cards[i].sysId), plan.cards[i].name, cm.payment.toString(),
                            cm.interest.toString(), cm.balance.toString()});
        }
    return rows;
}

bool writePlanPages(const PayoffPlan& plan, const PlanHeading& heading, platform::PageQueue& queue, QString* error)
{
    PlanLayout layout(plan, heading);
    reports::BandedPages pages(queue, layout);
    bool ok = true;
    for (int m = 0; ok && m < plan.length(); ++m)
        for (std::size_t i = 0; ok && i < plan.cards.size(); ++i) {
            layout.setLine(m, i);
            ok = pages.detail();
        }
    ok = ok && pages.groupFooter() && pages.endPage();
    for (const QStringList& row : planRows(plan))
        ok = ok && queue.appendRow(row);
    queue.finishRows();
    if (!ok && error)
        *error = pages.error().isEmpty() ? queue.errorString() : pages.error();
    return ok;
}

} // namespace fundora::planning
