#pragma once

#include "planning/DueNotices.h"

#include <QFrame>

class QLabel;
class QPushButton;
class QSpinBox;

namespace fundora::planning {

// The notice of the payments due, above the windows (never a modal box): a
// line a card whose minimum is due within the days the user chose (kept in
// the register's INI file, default 5) or overdue, and Dismiss. Hidden when
// nothing is due.
class DueNoticeBar : public QFrame {
    Q_OBJECT
public:
    DueNoticeBar(core::DataFiles& files, QString iniPath, QWidget* parent = nullptr);

    // Reads what is due on `today` and shows it. Accounts, Transactions and
    // Statements are opened for the read.
    void check(platform::DayNumber today);
    int within() const;
    QString text() const;

signals:
    // Cards newly due (for a desktop notification): their lines.
    void noticed(const QStringList& lines);

private:
    void withinChanged(int days);

    core::DataFiles& m_files;
    QString m_iniPath;
    platform::DayNumber m_today = 0;
    QStringList m_shown;
    QLabel* m_text;
    QSpinBox* m_within;
    QPushButton* m_dismiss;
};

} // namespace fundora::planning
