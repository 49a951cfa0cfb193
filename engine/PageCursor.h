#pragma once

#include "engine/BrowseHost.h"
#include "engine/ListControl.h"
#include "engine/RecordBuffer.h"
#include "platform/store/FilterExpression.h"
#include "platform/store/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace fundora::engine {

// The page a list shows and how it moves over the file: a page never holds
// more rows than the list shows, and every movement reads only what it must
// (the rows beyond the page's edge in the direction of the move). It reads
// through one view over the current sort order, with its range and filter,
// loads the selected row into the record buffer and shows the page in the
// list. A read that fails calls `onReadFailed` and leaves the page as it is.
class PageCursor {
public:
    PageCursor(RecordBuffer& buffer, ListControl& list, BrowseHost& host, const platform::FilterBindings& bindings,
               std::function<void()> onReadFailed);

    // The sort order read from now on (its key, range and filter).
    void setOrder(const SortOrder& order) { m_order = &order; }

    const std::vector<BrowseRow>& page() const { return m_page; }
    bool empty() const { return m_page.empty(); }
    int size() const { return static_cast<int>(m_page.size()); }
    int selected() const { return m_selected; }
    void setSelected(int row) { m_selected = row; }
    // Drops the rows (the next reload reads from the view's position).
    void clear() { m_page.clear(); }
    // Drops row `row` (1-based; a deleted record), if the page has it.
    void dropRow(int row);

    // The view back at the start of the current order's range, with its filter.
    void resetView();
    // Reads the page again: around the selected row (FromPage), from where
    // the view last read (FromViewPosition) or up from the end (FromEnd).
    void reloadPage(ReloadMode mode);
    // Seeks the buffer's record by its position or by its key values and reads the page there.
    void seekAndReload(SeekMode mode);
    // Moves the selection a row or a page; past the page's edge the page moves.
    // `cameShort`: the file ended before the move did.
    void scrollOneRow(bool down, bool& cameShort);
    void scrollOnePage(bool down, bool& cameShort);
    void jumpToEnd(bool bottom);
    // Puts row `row` (1-based) of the page into the buffer.
    void loadRow(int row);
    // Reads the selected row again from the file into the buffer (what another station wrote since).
    void readSelected(int listedRow);

private:
    struct FetchResult {
        int missing = 0;
        bool failed = false;
    };
    FetchResult fetch(int count, bool forward, bool addRows = true);
    BrowseRow makeRow(const platform::Record& r);
    platform::View& view();
    int visibleRows() const;
    static std::int64_t rowOf(const QString& position);

    RecordBuffer& m_buffer;
    ListControl& m_list;
    BrowseHost& m_host;
    const platform::FilterBindings& m_bindings;
    std::function<void()> m_onReadFailed;
    const SortOrder* m_order = nullptr;
    std::unique_ptr<platform::View> m_view;
    std::vector<BrowseRow> m_page;
    int m_selected = 0;
    QString m_lastRead; // position of the last record the view returned
};

} // namespace fundora::engine
