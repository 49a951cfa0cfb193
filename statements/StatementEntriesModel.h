#pragma once

#include <QAbstractTableModel>

namespace fundora::statements {

class StatementSession;

// The statement window's list: one row per open transaction up to the closing
// date, with its tick as the first column's check state. Setting the check
// state ticks the entry in the session.
class StatementEntriesModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Tick, Date, Description, Type, Amount, ColumnCount };
    enum Role {
        TickedRole = Qt::UserRole + 1, // bool
        AmountUnitsRole,               // cents, as a whole number
        DayRole,                       // the day number
    };

    explicit StatementEntriesModel(StatementSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Flips the tick of `row`.
    void toggle(int row);
    // The session's entries were read again (or many ticks changed).
    void reloaded();

signals:
    // A tick changed: the figures changed.
    void ticksChanged();

private:
    StatementSession& m_session;
};

} // namespace fundora::statements
