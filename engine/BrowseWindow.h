#pragma once

#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseEngine.h"
#include "engine/ButtonRow.h"
#include "engine/RecordBuffer.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

class QBoxLayout;
class QHBoxLayout;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace fundora::engine {

class BrowseListView;
class FormWindow;

// What a list window is: its procedure (the name its position is stored
// under), title, help, the files it holds, its sort orders (one tab each when
// there are several), thumb, columns and edit buttons.
struct BrowseDefinition {
    QString procedure;
    QString title;
    QString helpContext;
    std::vector<core::FileId> files; // acquired in this order while the window is open
    QString fileLabel;               // named by warning 35
    std::vector<SortOrder> orders;
    struct Tab {
        QString title;
        QString tip;
        int sortOrder = -1; // the sort order the tab chooses (-1: the tab's own place)
    };
    std::vector<Tab> tabs;
    ThumbStrategy thumb = ThumbStrategy::ThreePosition;
    std::vector<BrowseColumn> columns;
    QString columnGroup;       // a heading over all the columns ("Transaction"), if any
    bool selectButton = false; // a Select button (shown only when started to select)
    QString emptyText;         // said where the rows would be while there are none
};

// The window every list of the program is: the tabs with the list, the
// Insert, Change, Delete, Close and Help buttons (and Select), the window's
// place, the frame's toolbar while it is active, the update form it calls,
// and the failure handling. A list window holds only its definition and what
// it adds: its rows' cells, totals, details and buttons of its own.
class BrowseWindow : public QWidget, public core::ToolbarTarget, protected BrowseHost {
public:
    ~BrowseWindow() override;

    BrowseEngine& engine() { return *m_engine; }
    BrowseListView* list() const { return m_list; }
    // A button by its text without "&" ("Insert", "Change", "Notes").
    QPushButton* button(const QString& text) const;
    // What the list hands back when it closes: completed when a record was selected.
    core::Response response() const { return m_selected ? core::Response::Completed : core::Response::Cancelled; }

    // ToolbarTarget
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override;
    void windowActivated() override { gainedFocus(); }
    QString helpContext() const override { return m_definition.helpContext; }

    // Re-reads the page (the window gained the focus).
    void gainedFocus();
    // Lets tests answer the update form instead of showing it.
    using FormRunner = std::function<void(core::Request request, std::function<void(core::Response, core::Navigation)> done)>;
    void setFormRunner(FormRunner runner) { m_formRunner = std::move(runner); }

protected:
    BrowseWindow(core::DataFiles& files, RecordBuffer& buffer, BrowseDefinition definition, core::Request startRequest,
                 QWidget* parent = nullptr);
    // Sets up the engine and the buttons; the subclass calls it at the end of its constructor.
    void finishSetup();

    // --- what the list window adds
    // The update form the list calls.
    virtual FormWindow* createForm(const FormCall& call) = 0;
    // A form it called has ended (before the list moves on and reloads).
    virtual void formEnded(core::Request, core::Response) {}
    // The window opened (after its first page) or is closing.
    virtual void opened() {}
    virtual void closing() {}
    // After every refresh of the page: the window's own values (title, details, totals shown).
    virtual void refreshed() {}

    // The layout: the list's column (tabs, list, buttons) on the left; widgets beside it go into `side()`.
    QVBoxLayout* side() const { return m_side; }
    QVBoxLayout* column() const { return m_column; }
    // A button of the window's own, after the standard ones.
    QPushButton* addButton(const QString& text, const QString& tip, std::function<void()> action);
    // A button that shows an icon only; `name` is what screen readers and button() know it by.
    QPushButton* addIconButton(const QIcon& icon, const QString& name, const QString& tip, std::function<void()> action);
    core::DataFiles& files() { return m_files; }
    void keyPressEvent(QKeyEvent* event) override;
    const BrowseDefinition& definition() const { return m_definition; }

    // BrowseHost, for the subclass to extend.
    int currentSortOrder() const override;
    void setEditEnabled(bool changeAndDelete) override;
    void pressButton(EditButton button) override;
    // Asks for an insert primed as `prime`, from the event loop as a click on Insert would; an
    // insert that cannot happen then (the button off, a form open) is dropped with its prime.
    void requestInsert(FormPrime prime);
    bool hasSelectButton() const override { return m_definition.selectButton; }
    void readFailed() override;
    void viewFailed() override;
    void post(std::function<void()> work) override;
    void setBusy(bool busy) override;
    void callUpdateForm(FormCall call, std::function<void(core::Response, core::Navigation)> done) override;
    void afterRefresh() override;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    QWidget* positionedWindow();

    core::DataFiles& m_files;
    std::vector<std::unique_ptr<core::FileUse>> m_uses;
    RecordBuffer& m_buffer;
    BrowseDefinition m_definition;
    core::Request m_startRequest;
    BrowseListView* m_list = nullptr;
    QTabWidget* m_tabs = nullptr;
    QVBoxLayout* m_column = nullptr;
    QVBoxLayout* m_side = nullptr;
    std::unique_ptr<BrowseEngine> m_engine;
    std::unique_ptr<ButtonRow> m_buttons;
    FormRunner m_formRunner;
    QPointer<FormWindow> m_form;
    bool m_selected = false;
    bool m_opened = false;
    bool m_closed = false;
};

} // namespace fundora::engine
