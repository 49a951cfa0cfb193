#include "engine/BrowseListModel.h"

namespace fundora::engine {

BrowseListModel::BrowseListModel(std::vector<BrowseColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void BrowseListModel::setRows(const std::vector<BrowseRow>& rows)
{
    // A page is at most what the list shows: replacing it whole is cheap.
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int BrowseListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int BrowseListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant BrowseListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()) || index.column() >= static_cast<int>(m_columns.size()))
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    const BrowseRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const BrowseCell empty;
    const BrowseCell& cell = column < row.cells.size() ? row.cells[column] : empty;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return cell.text;
    case Qt::TextAlignmentRole: return static_cast<int>(m_columns[column].alignment);
    case Qt::ForegroundRole: return cell.foreground.isValid() ? QVariant(cell.foreground) : QVariant();
    case Qt::BackgroundRole: return cell.background.isValid() ? QVariant(cell.background) : QVariant();
    default: return {};
    }
}

QVariant BrowseListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_columns[static_cast<std::size_t>(section)].header;
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(Qt::AlignCenter);
    return {};
}

} // namespace fundora::engine
