#include "import/ImportPreviewModel.h"

#include "import/ImportSession.h"
#include "import/ImportText.h"
#include "statements/StatementText.h"

#include <QBrush>
#include <QColor>

namespace fundora::importing {

ImportPreviewModel::ImportPreviewModel(const ImportSession& session, QObject* parent) : QAbstractTableModel(parent), m_session(session)
{
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_session.hasPlan() ? 0 : static_cast<int>(m_session.plan().lines.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PlannedLine& p = m_session.plan().lines[static_cast<std::size_t>(index.row())];
    switch (role) {
    case StatusRole: return static_cast<int>(p.status);
    case ChoiceRole: return static_cast<int>(p.choice);
    case AmountUnitsRole: return static_cast<qlonglong>(p.line.amount.units());
    case DayRole: return p.line.date;
    case Qt::TextAlignmentRole:
        return index.column() == Amount || index.column() == Line ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ForegroundRole:
        // Payments in red as in the lists; lines left out are greyed.
        if (p.choice == LineChoice::Skip)
            return QBrush(QColor(128, 128, 128));
        return index.column() == Amount && p.line.amount.isNegative() ? QVariant(QBrush(QColor(255, 0, 0))) : QVariant();
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        switch (index.column()) {
        case Line: return p.line.sourceLine;
        case Date: return statements::dateText(p.line.date);
        case Type: return typeText(p.line.type);
        case Amount: return statements::moneyText(p.line.amount);
        case Description: return p.line.description;
        case Status: return statusText(p.status);
        case Action: return choiceText(p.choice);
        case Note: return p.note();
        default: return {};
        }
    default: return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const names[] = {"Line", "Date", "Type", "Amount", "Description", "Found", "Import", "Why"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

void ImportPreviewModel::reloaded()
{
    beginResetModel();
    endResetModel();
}

void ImportPreviewModel::choicesChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

} // namespace fundora::importing
