#include "planning/PlanModels.h"

namespace fundora::planning {

namespace {

QVariant amountData(const platform::Decimal& d, int role)
{
    if (role == Qt::DisplayRole)
        return planMoney(d);
    if (role == AmountUnitsRole)
        return QVariant::fromValue<qlonglong>(d.rounded(2).units());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace

void PlanMonthsModel::setPlan(const std::optional<PayoffPlan>& plan)
{
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

int PlanMonthsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_plan ? 0 : m_plan->length() * static_cast<int>(m_plan->cards.size());
}

int PlanMonthsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanMonthsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !m_plan)
        return {};
    const std::size_t cards = m_plan->cards.size();
    const auto month = static_cast<std::size_t>(index.row()) / cards;
    const auto card = static_cast<std::size_t>(index.row()) % cards;
    const CardMonth& cm = m_plan->months[month][card];
    switch (index.column()) {
    case Month:
        if (role == Qt::DisplayRole || role == AmountUnitsRole)
            return static_cast<int>(month) + 1;
        return {};
    case Card: return role == Qt::DisplayRole ? QVariant(m_plan->cards[card].name) : QVariant();
    case Payment: return amountData(cm.payment, role);
    case Interest: return amountData(cm.interest, role);
    case Balance: return amountData(cm.balance, role);
    default: return {};
    }
}

QVariant PlanMonthsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* names[] = {"Month", "Card", "Payment", "Interest", "Balance"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

void PlanComparisonModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int PlanComparisonModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlanComparisonModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanComparisonModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Row& r = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::ToolTipRole && !r.outcome.plan)
        return r.outcome.refusal;
    switch (index.column()) {
    case Way: return role == Qt::DisplayRole ? QVariant(r.way) : QVariant();
    case Months:
        if (role == Qt::DisplayRole)
            return r.outcome.plan ? QString::number(r.outcome.plan->length()) : QStringLiteral("more than %1").arg(MostMonths);
        if (role == AmountUnitsRole && r.outcome.plan)
            return r.outcome.plan->length();
        return {};
    case TotalInterest:
        if (!r.outcome.plan)
            return role == Qt::DisplayRole ? QVariant(QStringLiteral("-")) : QVariant();
        return amountData(r.outcome.plan->totalInterest, role);
    default: return {};
    }
}

QVariant PlanComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* names[] = {"Paying", "Months", "Total interest"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

} // namespace fundora::planning
