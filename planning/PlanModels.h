#pragma once

#include "planning/PayoffPlan.h"

#include <QAbstractTableModel>

namespace fundora::planning {

// The values behind the texts, for sorting and for tests.
inline constexpr int AmountUnitsRole = Qt::UserRole + 1; // money in cents (qlonglong), whole numbers as they are

// A plan month by month: a row a card and month, as the CSV has them.
class PlanMonthsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Month, Card, Payment, Interest, Balance, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    void setPlan(const std::optional<PayoffPlan>& plan);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::optional<PayoffPlan> m_plan;
};

// The strategies side by side, and paying only the minimums: how long each
// takes and what interest it costs (a strategy refused shows its reason).
class PlanComparisonModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Way, Months, TotalInterest, ColumnCount };
    struct Row {
        QString way;
        PlanOutcome outcome;
    };
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<Row> rows);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Row> m_rows;
};

} // namespace fundora::planning
