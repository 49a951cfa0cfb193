#pragma once

#include <QAbstractTableModel>

namespace fundora::importing {

class ImportSession;

// The import preview: one row per statement line, with what the import found
// it to be (new, duplicate, matched, refused) and what it will do with it.
class ImportPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Line, Date, Type, Amount, Description, Status, Action, Note, ColumnCount };
    enum Role {
        StatusRole = Qt::UserRole + 1, // LineStatus, as an int
        ChoiceRole,                    // LineChoice, as an int
        AmountUnitsRole,               // cents as stored (payments negative)
        DayRole,                       // the day number
    };

    explicit ImportPreviewModel(const ImportSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The session made a new plan.
    void reloaded();
    // Choices of some lines changed.
    void choicesChanged();

private:
    const ImportSession& m_session;
};

} // namespace fundora::importing
