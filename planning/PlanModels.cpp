#include "planning/PlanModels.h"

#include "platform/pictures/MoneyText.h"

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

void PlanCardsModel::setCards(std::vector<PlanCard> cards, std::map<std::int32_t, PlanRule> rules, Store store)
{
    beginResetModel();
    m_cards = std::move(cards);
    m_rules = std::move(rules);
    m_store = std::move(store);
    m_refusal.clear();
    endResetModel();
}

int PlanCardsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_cards.size());
}

int PlanCardsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanCardsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const PlanCard& c = m_cards[static_cast<std::size_t>(index.row())];
    const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
    switch (index.column()) {
    case Card: return text ? QVariant(c.name) : QVariant();
    case Balance: return amountData(c.balance, role);
    case Rate: return text ? QVariant(c.rate.toString() + QStringLiteral(" %")) : QVariant();
    case MinimumAmount: return role == Qt::EditRole ? QVariant(c.minimum.amount.toString()) : amountData(c.minimum.amount, role);
    case MinimumPercent: return text ? QVariant(c.minimum.percent.toString()) : QVariant();
    case OwnOrder:
        if (role == Qt::DisplayRole)
            return c.ownOrder > 0 ? QString::number(c.ownOrder) : QString();
        return role == Qt::EditRole ? QVariant(c.ownOrder) : QVariant();
    default: return {};
    }
}

QVariant PlanCardsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* names[] = {"Card", "Balance", "Rate", "Minimum", "Minimum % of balance", "Your order"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

Qt::ItemFlags PlanCardsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() >= MinimumAmount)
        f |= Qt::ItemIsEditable;
    return f;
}

bool PlanCardsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() < MinimumAmount || !m_store)
        return false;
    PlanCard& card = m_cards[static_cast<std::size_t>(index.row())];
    PlanRule rule;
    rule.sysId = card.sysId;
    if (const auto stored = m_rules.find(card.sysId); stored != m_rules.end())
        rule = stored->second;
    const QString text = value.toString().trimmed();
    if (index.column() == OwnOrder) {
        bool ok = false;
        const int order = text.isEmpty() ? 0 : text.toInt(&ok);
        if ((!ok && !text.isEmpty()) || order < 0 || order > 999) {
            m_refusal = QStringLiteral("Your order is a place from 1 to 999, or nothing for a card that comes after the placed ones.");
            return false;
        }
        rule.ownOrder = static_cast<std::int16_t>(order);
    } else {
        const std::optional<platform::Decimal> amount = platform::readMoney(text, 2);
        const bool percent = index.column() == MinimumPercent;
        const platform::Decimal most = platform::Decimal::fromUnits(percent ? 10000 : 99999999, 2);
        if (!amount || amount->isNegative() || *amount > most) {
            m_refusal = percent ? QStringLiteral("The minimum's percentage of the balance is from 0 to 100, as 1 or 2.5.")
                                : QStringLiteral("The minimum's fixed amount is 0 or more, as 25 or 35.00.");
            return false;
        }
        (percent ? rule.minimumPercent : rule.minimumAmount) = *amount;
    }
    if (const platform::FileError e = m_store(rule); !e.ok()) {
        m_refusal = QStringLiteral("The rule could not be stored: %1").arg(e.text);
        return false;
    }
    m_refusal.clear();
    m_rules[card.sysId] = rule;
    applyRule(card, rule);
    emit dataChanged(index, index);
    return true;
}

} // namespace fundora::planning
