#pragma once

#include "engine/BrowseRow.h"

#include <QAbstractTableModel>

#include <vector>

namespace fundora::engine {

// The rows of a list's page as a table model: a cell's text (display and
// accessible text), its column's alignment and its colours.
class BrowseListModel : public QAbstractTableModel {
public:
    explicit BrowseListModel(std::vector<BrowseColumn> columns, QObject* parent = nullptr);

    void setRows(const std::vector<BrowseRow>& rows);
    const std::vector<BrowseColumn>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<BrowseColumn> m_columns;
    std::vector<BrowseRow> m_rows;
};

} // namespace fundora::engine
