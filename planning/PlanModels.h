#pragma once

#include "planning/PayoffPlan.h"
#include "planning/PlanRules.h"

#include <functional>

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

// The cards a plan starts from, with what the user may set for each: the
// minimum's fixed amount and percentage and the place in the own order
// (edited in place; each edit is stored at once through `store`).
class PlanCardsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Card, Balance, Rate, MinimumAmount, MinimumPercent, OwnOrder, ColumnCount };
    using Store = std::function<platform::FileError(PlanRule&)>;
    using QAbstractTableModel::QAbstractTableModel;

    void setCards(std::vector<PlanCard> cards, std::map<std::int32_t, PlanRule> rules, Store store);
    const std::vector<PlanCard>& cards() const { return m_cards; }
    // Why the last edit was refused (empty when it was stored).
    const QString& refusal() const { return m_refusal; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    std::vector<PlanCard> m_cards;
    std::map<std::int32_t, PlanRule> m_rules;
    Store m_store;
    QString m_refusal;
};

} // namespace fundora::planning
