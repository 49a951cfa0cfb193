#pragma once

#include "core/GlobalState.h"
#include "engine/BrowseRow.h"
#include "engine/FormCall.h"
#include "engine/ListControl.h"
#include "engine/RecordBuffer.h"
#include "platform/store/FilterExpression.h"
#include "platform/store/View.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace fundora::engine {

enum class ThumbStrategy { Stops, ThreePosition };
enum class ReloadMode { FromViewPosition, FromEnd, FromPage };
enum class SeekMode { OnPosition, OnValue };
enum class EditButton { Insert, Change, Delete, Select };

// A value outside the page (a field of the owning record, a total) whose
// change reloads the page from the top. Each sort order keeps a saved copy of
// it, which filters name as BRW1::Sort<n>:Reset:<name> (or `boundAs`).
struct ResetField {
    QString name;
    std::function<platform::FieldValue()> value;
    QString boundAs;
};

struct SortOrder {
    int key = 0;
    int locatorField = -1;   // the first key component after the range, -1 none
    int rangeComponents = 0; // leading key components fixed to the owner's values
    QString filter;          // applied while reading
    std::vector<ResetField> resets;
};

// What a browse adds to the engine: its rows' computed fields, its owner
// values, totals, and the update form it calls.
class BrowseHost {
public:
    virtual ~BrowseHost() = default;
    // Fills the row's column texts from the record in it.
    virtual void buildRow(BrowseRow& row) = 0;
    // A row was loaded into the buffer: put its computed fields back into the window's variables.
    virtual void rowLoaded(const BrowseRow&) {}
    // Sets the range fields of `r` to the owner's values.
    virtual void primeRange(platform::Record&) {}
    virtual void computeTotals() {}
    virtual int currentSortOrder() const { return 0; }
    // Calls the update form as `call` asks; `done(response, navigation)` runs when it ends.
    virtual void callUpdateForm(FormCall call, std::function<void(core::Response, core::Navigation)> done) = 0;
    virtual void setEditEnabled(bool changeAndDelete) = 0;
    // Acts as if the user pressed that button.
    virtual void pressButton(EditButton button) = 0;
    virtual bool hasSelectButton() const { return false; }
    // Before every refresh (the window loads what its reset fields follow), and after it.
    virtual void beforeRefresh() {}
    virtual void afterRefresh() {}
    // A read failed: the browse shows warning 35 and closes.
    virtual void readFailed() = 0;
    // Filter or view could not be set: warning 36; the browse goes on.
    virtual void viewFailed() {}
    // Runs `work` later, from the event loop (coalesced new selections, posted events).
    virtual void post(std::function<void()> work) = 0;
};

// The paged list machine every list window uses: a page never holds more rows
// than the list shows, and every movement reads only what it must.
//
// While the list's update form is open nothing but that form may act on the
// list or its record buffer: every key, click, scroll, refresh and toolbar
// command that reaches the engine meanwhile is ignored.
class BrowseEngine {
public:
    BrowseEngine(RecordBuffer& buffer, std::vector<SortOrder> orders, ThumbStrategy thumb, ListControl& list, BrowseHost& host);
    ~BrowseEngine();

    // Variables that filter expressions may name (the reset fields' saved copies are bound already).
    platform::FilterBindings& bindings() { return m_bindings; }
    void setStartRequest(core::Request request) { m_startRequest = request; }
    core::Request startRequest() const { return m_startRequest; }
    // True while the list's update form is open.
    bool formOpen() const { return m_formOpen; }
    // A view over sort order `order` with its range and filter, at its start:
    // what totals and analyses read (see View::totals).
    std::unique_ptr<platform::View> rangeView(int order) const;
    int sortOrder() const { return m_sort; }

    // --- the page machinery
    int fetchRows(int count, bool forward);
    void reloadPage(ReloadMode mode);
    void seekAndReload(SeekMode mode);
    void resetView();

    // --- scrolling (each ends like a scroll event: list selection set, new selection posted)
    enum class Scroll { RowUp, RowDown, PageUp, PageDown, Top, Bottom };
    void onScroll(Scroll s);
    void onScrollDrag();

    // --- selection and keys
    void onNewSelection(bool rightButton = false);
    void postNewSelection();
    void onDoubleClick();
    void onInsertKey();
    void onDeleteKey();
    void onCtrlEnter();
    void onLocatorKey(QChar c);

    // --- refresh
    void refreshWindow();
    void forceRefresh();
    void setAcceptAllRunning(bool running) { m_acceptAll = running; }

    // --- editing
    void readSelected();
    // Inserts a record primed as `prime` asks (beyond the list's range).
    void insertRecord(FormPrime prime = FormPrime::Plain);
    void changeRecord();
    void deleteRecord();

    // --- toolbar commands 2004 to 2010 while the browse is active
    void toolbarNavigate(int command);

    // --- state, for the window and for tests
    const std::vector<BrowseRow>& page() const { return m_page; }
    int selectedRow() const { return m_selected; }
    int thumbPosition() const { return m_thumb; }
    const std::vector<QString>& thumbStops() const { return m_stops; }
    core::Response response() const { return m_response; }
    bool hasRows() const { return !m_page.empty(); }
    void buildThumbStops();

private:
    struct FetchResult {
        int missing = 0;
        bool failed = false;
    };
    FetchResult fetch(int count, bool forward, bool addRows = true);
    BrowseRow makeRow(const platform::Record& r);
    void loadRow(int row);
    void afterScroll(bool cameShort, bool oneRowUp);
    void applySortAndResets();
    void scrollOneRow(bool down, bool& cameShort);
    void scrollOnePage(bool down, bool& cameShort);
    void jumpToEnd(bool bottom);
    void callForm(FormCall call, std::function<void()> finished);
    void editFinished(core::Request request, bool completed);
    std::vector<platform::FieldValue> currentResets(int order) const;
    const SortOrder& order() const { return m_orders[static_cast<std::size_t>(m_sort)]; }
    platform::View& view();
    static std::int64_t rowOf(const QString& position);

    RecordBuffer& m_buffer;
    std::vector<SortOrder> m_orders;
    ThumbStrategy m_thumbStrategy;
    ListControl& m_list;
    BrowseHost& m_host;
    platform::FilterBindings m_bindings;
    std::unique_ptr<platform::View> m_view;

    std::vector<BrowseRow> m_page;
    int m_selected = 0;
    ReloadMode m_reloadMode = ReloadMode::FromPage;
    QString m_lastRead; // position of the last record the view returned
    int m_sort = 0;
    int m_previousSort = -1;
    std::map<int, std::vector<platform::FieldValue>> m_savedResets;
    bool m_forceRefresh = false;
    bool m_firstRefresh = true;
    bool m_newSelectionPending = false;
    bool m_acceptAll = false;
    bool m_failed = false;
    int m_thumb = 0;
    std::vector<QString> m_stops;
    core::Request m_startRequest = core::Request::None;
    core::Response m_response = core::Response::Cancelled;
    bool m_formOpen = false;
};

} // namespace fundora::engine
