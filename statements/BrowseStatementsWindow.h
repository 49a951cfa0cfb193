#pragma once

#include "core/GlobalState.h"

#include "core/OpenFile.h"

#include <QHash>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace fundora::engine {
class ButtonRow;
}

namespace fundora::statements {

class StatementListModel;

// BrowseStatements: the finished statements of the current account
// (GLO:CurrentSysid), latest first. The latest can be undone: its
// transactions go back to the open ones and the statement is removed, in one
// commit.
class BrowseStatementsWindow final : public QWidget, public core::ToolbarTarget {
    Q_OBJECT
public:
    explicit BrowseStatementsWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~BrowseStatementsWindow() override;

    // core::ToolbarTarget: the toolbar's Help; no record commands.
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override { return helpOnly(); }
    QString helpContext() const override { return QStringLiteral("~BrowseStatements"); }
    // Read again: another window may have finished or undone a statement.
    void windowActivated() override { reload(); }

    StatementListModel* model() const { return m_model; }
    QTableView* list() const { return m_list; }
    QPushButton* button(const QString& text) const;
    // Reads the statements again.
    void reload();
    // Undoes the latest statement, after the question.
    void undoLatest();
    // Prints the highlighted statement through the reports.
    void print();

private:
    void selectionChanged();

    std::unique_ptr<core::FileUses> m_uses; // for as long as the window is open
    core::DataFiles& m_files;
    std::int32_t m_sysId;
    StatementListModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QLabel* m_summary = nullptr;
    std::unique_ptr<engine::ButtonRow> m_buttons;
};

} // namespace fundora::statements
