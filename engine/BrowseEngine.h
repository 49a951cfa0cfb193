#pragma once

#include "core/GlobalState.h"
#include "engine/BrowseHost.h"
#include "engine/ListControl.h"
#include "engine/PageCursor.h"
#include "engine/RecordBuffer.h"
#include "platform/store/FilterExpression.h"
#include "platform/store/View.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace fundora::engine {

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
    bool formOpen() const { return m_state == State::FormOpen; }
    // A view over sort order `order` with its range and filter, at its start:
    // what totals and analyses read (see View::totals).
    std::unique_ptr<platform::View> rangeView(int order) const;
    int sortOrder() const { return m_sort; }

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

    // --- refresh: the sort order and reset fields applied, the page and totals read again when they
    // changed (or always, when forced)
    void refreshWindow(bool force = false);
    void forceRefresh();
    // Whether the files may have changed since the page and totals were last read (by this
    // program or another station): only then does a window that gains the focus read them again.
    bool registerChanged();
    // Reads the page again, and nothing else (the list's size changed).
    void reloadPage();

    // --- editing
    void readSelected();
    // Inserts a record primed as `prime` asks (beyond the list's range).
    void insertRecord(FormPrime prime = FormPrime::Plain);
    void changeRecord();
    void deleteRecord();

    // --- toolbar commands 2004 to 2010 while the browse is active
    void toolbarNavigate(int command);

    // --- state, for the window and for tests
    const std::vector<BrowseRow>& page() const { return m_cursor.page(); }
    int selectedRow() const { return m_cursor.selected(); }
    int thumbPosition() const { return m_thumb; }
    const std::vector<QString>& thumbStops() const { return m_stops; }
    core::Response response() const { return m_response; }
    bool hasRows() const { return !m_cursor.empty(); }
    void buildThumbStops();

private:
    // Where the list is in its life: before its first refresh, browsing, with
    // its form open (nothing else may act), or stopped by a failed read.
    enum class State { Opening, Browsing, FormOpen, Failed };

    void afterScroll(bool cameShort, bool oneRowUp);
    void applySortAndResets(bool force);
    // True when two orders read the same records (the same filter and range fields).
    bool selectsTheSame(const SortOrder& a, const SortOrder& b) const;
    void seekAndShow(SeekMode mode);
    void callForm(FormCall call, std::function<void()> finished);
    void editFinished(core::Request request, bool completed);
    void computeTotals();
    std::vector<platform::FieldValue> currentResets(int order) const;
    const SortOrder& order() const { return m_orders[static_cast<std::size_t>(m_sort)]; }

    RecordBuffer& m_buffer;
    std::vector<SortOrder> m_orders;
    ThumbStrategy m_thumbStrategy;
    ListControl& m_list;
    BrowseHost& m_host;
    platform::FilterBindings m_bindings;
    PageCursor m_cursor;

    State m_state = State::Opening;
    std::uint64_t m_readAt = 0; // the store's generation when the page and totals were last read
    int m_sort = 0;
    int m_previousSort = -1;
    std::map<int, std::vector<platform::FieldValue>> m_savedResets;
    // A new selection is posted once however many moves ask for it before it runs.
    bool m_newSelectionPending = false;
    int m_thumb = 0;
    std::vector<QString> m_stops;
    core::Request m_startRequest = core::Request::None;
    core::Response m_response = core::Response::Cancelled;
};

} // namespace fundora::engine
