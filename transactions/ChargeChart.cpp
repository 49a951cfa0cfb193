#include "transactions/ChargeChart.h"

#include "platform/pictures/Picture.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

namespace fundora::transactions {

namespace {

constexpr const char* ShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString monthLabel(const AnalysisPeriod& p)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(ShortMonths[p.month - 1])).arg(p.year % 100, 2, 10, QChar(u'0'));
}

// Bars are drawn in whole dollars and cents as the screen needs them; the sums themselves stay decimal.
qreal drawnHeight(const platform::Decimal& sum)
{
    return static_cast<qreal>(sum.unitsAt(2).value_or(0)) / 100.0;
}

} // namespace

ChargeChart::ChargeChart(QWidget* parent)
    // Made with its chart: a chart set later would leave the view's first one behind, never deleted.
    : QChartView(new QChart, parent), m_series(new QBarSeries), m_set(new QBarSet(QStringLiteral("Charges"))),
      m_categories(new QBarCategoryAxis), m_values(new QValueAxis)
{
    QChart* chart = this->chart();
    chart->setTitle(QStringLiteral("Charges of the Last 12 Months"));
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setAnimationOptions(QChart::NoAnimation);
    m_series->append(m_set);
    chart->addSeries(m_series);
    chart->addAxis(m_categories, Qt::AlignBottom);
    chart->addAxis(m_values, Qt::AlignLeft);
    m_series->attachAxis(m_categories);
    m_series->attachAxis(m_values);
    m_categories->setLabelsAngle(-90);
    m_values->setLabelFormat(QStringLiteral("%.0f"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(300, 200);
    setAccessibleName(QStringLiteral("Charges of the last 12 months"));
    setToolTip(QStringLiteral("Click a month to analyse its charges"));
    connect(m_series, &QBarSeries::clicked, this, [this](int index, QBarSet*) {
        if (index >= 0 && static_cast<std::size_t>(index) < m_months.size())
            emit monthClicked(m_months[static_cast<std::size_t>(index)].month);
    });
}

void ChargeChart::setMonths(std::vector<AnalysisPeriod> months, std::vector<platform::Decimal> sums)
{
    if (months.size() == m_months.size() && sums == m_sums && !months.empty() && months.front().first == m_months.front().first)
        return;
    m_months = std::move(months);
    m_sums = std::move(sums);
    QStringList labels;
    QList<qreal> heights;
    QStringList spoken;
    qreal highest = 0;
    for (std::size_t i = 0; i < m_months.size(); ++i) {
        labels << monthLabel(m_months[i]);
        heights << drawnHeight(m_sums[i]);
        highest = std::max(highest, heights.back());
        spoken << QStringLiteral("%1/%2: %3")
                      .arg(m_months[i].month)
                      .arg(m_months[i].year)
                      .arg(platform::formatPicture(m_sums[i], u"n$(13.2)").trimmed());
    }
    m_set->remove(0, m_set->count());
    m_set->append(heights);
    m_categories->clear();
    m_categories->append(labels);
    m_values->setRange(0, highest > 0 ? highest * 1.1 : 1);
    m_values->applyNiceNumbers();
    setAccessibleDescription(spoken.join(QStringLiteral("; ")));
}

QPoint ChargeChart::barCentre(int index) const
{
    const qreal height = index >= 0 && index < m_set->count() ? m_set->at(index) : 0;
    const QPointF inChart = chart()->mapToPosition(QPointF(index, height / 2), m_series);
    return mapFromScene(chart()->mapToScene(inChart));
}

} // namespace fundora::transactions
