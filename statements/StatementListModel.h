#pragma once

#include "statements/StatementRecords.h"

#include <QAbstractTableModel>

#include <vector>

namespace fundora::statements {

// An account's finished statements, latest first.
class StatementListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ClosingDate, EndingBalance, Transactions, MinimumPayment, DueDate, Difference, Finished, ColumnCount };
    enum Role { StatementIdRole = Qt::UserRole + 1, LatestRole };

    using QAbstractTableModel::QAbstractTableModel;

    void setStatements(std::vector<statements::CardStatement> statements);
    const statements::CardStatement& statement(int row) const { return m_statements.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<statements::CardStatement> m_statements;
};

} // namespace fundora::statements
