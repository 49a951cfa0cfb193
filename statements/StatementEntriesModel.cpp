#include "statements/StatementEntriesModel.h"

#include "platform/pictures/Picture.h"
#include "statements/StatementSession.h"
#include "statements/StatementText.h"
#include "transactions/TransactionText.h"

#include <QColor>

namespace fundora::statements {

StatementEntriesModel::StatementEntriesModel(StatementSession& session, QObject* parent) : QAbstractTableModel(parent), m_session(session)
{
}

int StatementEntriesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_session.entries().size());
}

int StatementEntriesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatementEntriesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const StatementEntry& entry = m_session.entries()[static_cast<std::size_t>(index.row())];
    const core::Transaction& t = entry.transaction;
    switch (role) {
    case TickedRole: return entry.ticked;
    case AmountUnitsRole: return QVariant::fromValue<qlonglong>(t.transactionAmount.unitsAt(2).value_or(0));
    case DayRole: return t.dateofTransaction;
    case Qt::CheckStateRole: return index.column() == Tick ? QVariant(entry.ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::ForegroundRole: return index.column() == Amount && t.transactionAmount.isNegative() ? QVariant(QColor(255, 0, 0)) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == Amount)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return index.column() == Description ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::AccessibleTextRole:
        if (index.column() == Tick)
            return entry.ticked ? QStringLiteral("Ticked") : QStringLiteral("Not ticked");
        [[fallthrough]];
    case Qt::DisplayRole:
        switch (index.column()) {
        case Date: return dateText(t.dateofTransaction);
        case Description: return t.transactionDescription;
        case Type: return transactions::transactionTypeDescription(t.transactionType);
        case Amount: return platform::formatPicture(t.transactionAmount, u"n$(12.2)").trimmed();
        default: return {};
        }
    default: return {};
    }
}

bool StatementEntriesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != Tick || (role != Qt::CheckStateRole && role != TickedRole))
        return false;
    const bool ticked = role == TickedRole ? value.toBool() : value.toInt() == Qt::Checked;
    m_session.setTicked(static_cast<std::size_t>(index.row()), ticked);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    emit ticksChanged();
    return true;
}

void StatementEntriesModel::toggle(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    setData(index(row, Tick), !m_session.entries()[static_cast<std::size_t>(row)].ticked, TickedRole);
}

Qt::ItemFlags StatementEntriesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Ticks are toggled by the window (space bar, a click on the tick) rather
    // than the view's own check-box handling, so one press is one toggle.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant StatementEntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[ColumnCount] = {"Tick", "Date", "Description", "Type", "Amount"};
    return QString::fromLatin1(titles[section]);
}

void StatementEntriesModel::reloaded()
{
    beginResetModel();
    endResetModel();
    emit ticksChanged();
}

} // namespace fundora::statements
