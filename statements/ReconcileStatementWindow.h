#pragma once

#include "core/GlobalState.h"

#include "core/OpenFile.h"
#include "statements/StatementSession.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace fundora::engine {
class ButtonRow;
class DateSpinBox;
class ValueLabel;
} // namespace fundora::engine

namespace fundora::statements {

class StatementEntriesModel;

// ReconcileStatement: the statement of the current account (GLO:CurrentSysid)
// against the register. The user types the closing date, ending balance,
// minimum payment and due date from the statement, ticks the open
// transactions it shows (space bar or a click on the tick), and sees the
// figures follow every tick. Finish is on only while the difference is 0.00;
// "Accept the Difference" finishes with one, after a question. Later keeps
// what was typed and ticked; closing the window with changes asks whether to.
class ReconcileStatementWindow final : public QWidget, public core::ToolbarTarget {
    Q_OBJECT
public:
    explicit ReconcileStatementWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~ReconcileStatementWindow() override;

    // core::ToolbarTarget: the toolbar's Help; no record commands.
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override { return helpOnly(); }
    QString helpContext() const override { return QStringLiteral("~ReconcileStatement"); }

    // False when the files or the account could not be read (the window then closes itself).
    bool isReady() const { return m_ready; }
    StatementSession& session() { return m_session; }
    StatementEntriesModel* model() const { return m_model; }
    QTableView* list() const { return m_list; }
    engine::DateSpinBox* closingDate() const { return m_closing; }
    QLineEdit* endingBalance() const { return m_ending; }
    QLineEdit* minimumPayment() const { return m_minimum; }
    QCheckBox* dueDateGiven() const { return m_dueGiven; }
    engine::DateSpinBox* dueDate() const { return m_due; }
    QPushButton* button(const QString& text) const;
    // A figure by its prompt without the colon ("Difference").
    QString figure(const QString& name) const;
    // Why the last entry was refused (empty when none).
    QString problem() const;

    // The buttons' actions.
    void tickAllUpToClosingDate();
    void addTransaction();
    void finish();
    void acceptDifference();
    void later();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the window as Cancel does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void showStatement();
    void showFigures();
    void closingDateChanged();
    void moneyEdited(QLineEdit* edit, void (StatementSession::*set)(const platform::Decimal&));
    void dueDateChanged();
    void finishWith(bool accept);
    void reportFailure(StatementSession::Result result);
    void reloadEntries();
    void closeWindow();

    std::unique_ptr<core::FileUses> m_uses; // for as long as the window is open
    core::DataFiles& m_files;
    StatementSession m_session;
    StatementEntriesModel* m_model = nullptr;
    bool m_ready = false;
    bool m_closingOnPurpose = false;
    QLabel* m_vendor = nullptr;
    engine::DateSpinBox* m_closing = nullptr;
    QLineEdit* m_ending = nullptr;
    QLineEdit* m_minimum = nullptr;
    QCheckBox* m_dueGiven = nullptr;
    engine::DateSpinBox* m_due = nullptr;
    QLabel* m_problem = nullptr;
    QTableView* m_list = nullptr;
    QHash<QString, engine::ValueLabel*> m_figures;
    std::unique_ptr<engine::ButtonRow> m_buttons;
    QPointer<QWidget> m_form;
};

} // namespace fundora::statements
