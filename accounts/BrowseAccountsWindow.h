#pragma once

#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseEngine.h"
#include "engine/RecordBuffer.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace fundora::engine {
class BrowseListView;
}

namespace fundora::accounts {

// BrowseAccounts: every account by vendor, the highlighted account's details,
// the total debt, and the buttons to add, change, delete, dial and open notes.
class BrowseAccountsWindow : public QWidget, public core::ToolbarTarget, public engine::BrowseHost {
public:
    explicit BrowseAccountsWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~BrowseAccountsWindow() override;

    engine::BrowseEngine& engine() { return *m_engine; }
    engine::BrowseListView* list() const { return m_list; }
    QPushButton* button(const QString& text) const;
    QString detail(const QString& name) const;
    platform::Decimal totalDebt() const { return m_totalDebt; }

    // ToolbarTarget
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override;
    void windowActivated() override { gainedFocus(); }
    QString helpContext() const override { return QStringLiteral("~BrowseCreditCardAccounts"); }

    // BrowseHost
    void buildRow(engine::BrowseRow& row) override;
    void computeTotals() override;
    void callUpdateForm(int request, std::function<void(int, int)> done) override;
    void setEditEnabled(bool changeAndDelete) override;
    void pressButton(engine::EditButton button) override;
    void afterRefresh() override;
    void readFailed() override;
    void viewFailed() override;
    void post(std::function<void()> work) override;

    // Re-reads the page (the window gained the focus).
    void gainedFocus();
    // Lets tests answer the update form instead of showing it.
    using FormRunner = std::function<void(int request, std::function<void(int, int)> done)>;
    void setFormRunner(FormRunner runner) { m_formRunner = std::move(runner); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void dial();
    void notes();
    void updateDetails();
    void setFrameButtons(bool enabled);

    core::DataFiles& m_files;
    core::FileUse m_accounts;
    engine::TypedBuffer<core::Account> m_buffer;
    engine::BrowseListView* m_list = nullptr;
    std::unique_ptr<engine::BrowseEngine> m_engine;
    QHash<QString, QPushButton*> m_buttons;
    QHash<QString, QLabel*> m_details;
    platform::Decimal m_totalDebt = platform::Decimal::fromUnits(0, 2);
    FormRunner m_formRunner;
    bool m_opened = false;
    bool m_closed = false;
};

} // namespace fundora::accounts
