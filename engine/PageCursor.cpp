#include "engine/PageCursor.h"

#include "platform/store/DataFile.h"
#include "platform/store/Position.h"

namespace fundora::engine {

PageCursor::PageCursor(RecordBuffer& buffer, ListControl& list, BrowseHost& host, const platform::FilterBindings& bindings,
                       std::function<void()> onReadFailed)
    : m_buffer(buffer), m_list(list), m_host(host), m_bindings(bindings), m_onReadFailed(std::move(onReadFailed))
{
}

std::int64_t PageCursor::rowOf(const QString& position)
{
    const auto p = platform::Position::decode(position);
    return p ? p->row : 0;
}

int PageCursor::visibleRows() const
{
    return std::max(1, m_list.visibleRows());
}

platform::View& PageCursor::view()
{
    if (!m_view || m_view->key() != m_order->key) {
        m_view = std::make_unique<platform::View>(m_buffer.file(), m_order->key);
        m_view->setReadAhead(visibleRows());
    }
    return *m_view;
}

void PageCursor::resetView()
{
    platform::View& v = view();
    if (m_order->rangeComponents > 0) {
        platform::Record owner = m_buffer.get();
        m_host.primeRange(owner);
        v.setRange(owner, m_order->rangeComponents);
    } else {
        v.clearRange();
    }
    v.toStart();
    if (!v.setFilter(m_order->filter, m_bindings).ok())
        m_host.viewFailed();
}

BrowseRow PageCursor::makeRow(const platform::Record& r)
{
    BrowseRow row;
    row.record = r;
    row.position = view().position(r);
    m_host.buildRow(row);
    return row;
}

PageCursor::FetchResult PageCursor::fetch(int count, bool forward, bool addRows)
{
    FetchResult result;
    const int visible = visibleRows();
    platform::View& v = view();
    v.setReadAhead(std::max(1, std::min(count, visible) + 1));
    std::int64_t edgeRow = 0;
    if (!m_page.empty()) {
        const BrowseRow& edge = forward ? m_page.back() : m_page.front();
        v.toPosition(edge.position);
        edgeRow = rowOf(edge.position);
    }
    bool skipFirst = edgeRow != 0;
    while (count > 0) {
        platform::Record r;
        const platform::FileError e = forward ? v.next(r) : v.previous(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            break;
        if (!e.ok()) {
            result.failed = true;
            m_onReadFailed();
            return result;
        }
        m_lastRead = v.position(r);
        if (skipFirst) {
            skipFirst = false;
            if (r.identity.row == edgeRow)
                continue;
        }
        if (addRows) {
            if (static_cast<int>(m_page.size()) >= visible) {
                if (forward)
                    m_page.erase(m_page.begin());
                else
                    m_page.pop_back();
            }
            BrowseRow row = makeRow(r);
            if (forward)
                m_page.push_back(std::move(row));
            else
                m_page.insert(m_page.begin(), std::move(row));
        }
        --count;
    }
    v.setReadAhead(1);
    result.missing = count;
    return result;
}

void PageCursor::dropRow(int row)
{
    if (row >= 1 && row <= size())
        m_page.erase(m_page.begin() + (row - 1));
}

void PageCursor::loadRow(int row)
{
    if (row < 1 || row > size())
        return;
    const BrowseRow& r = m_page[static_cast<std::size_t>(row - 1)];
    m_buffer.set(r.record);
    m_host.rowLoaded(r);
}

void PageCursor::reloadPage(ReloadMode mode)
{
    BusyWhile busy(m_host);
    QString highlight;
    if (mode == ReloadMode::FromViewPosition) {
        highlight = m_lastRead;
        view().toPosition(highlight);
    } else if (!m_page.empty()) {
        const int at = (m_selected >= 1 && m_selected <= size()) ? m_selected : size();
        highlight = m_page[static_cast<std::size_t>(at - 1)].position;
        view().toPosition(m_page.front().position);
    } else {
        resetView();
    }
    m_page.clear();
    const bool forward = mode != ReloadMode::FromEnd;
    FetchResult f = fetch(visibleRows(), forward);
    if (f.failed)
        return;
    if (!highlight.isEmpty() && f.missing > 0) {
        if (m_page.empty())
            resetView();
        if (fetch(f.missing, !forward).failed)
            return;
    }
    if (m_page.empty()) {
        m_buffer.clear();
        m_selected = 0;
        m_list.showRows(m_page);
        m_host.setEditEnabled(false);
        return;
    }
    int select = 0;
    if (!highlight.isEmpty()) {
        const std::int64_t wanted = rowOf(highlight);
        for (std::size_t i = 0; i < m_page.size() && select == 0; ++i)
            if (m_page[i].record.identity.row == wanted)
                select = static_cast<int>(i) + 1;
        if (select == 0)
            select = size();
    } else {
        select = mode == ReloadMode::FromEnd ? size() : 1;
    }
    m_selected = select;
    m_list.showRows(m_page);
    m_list.setSelectedRow(m_selected);
    loadRow(m_selected);
    m_host.setEditEnabled(true);
}

void PageCursor::seekAndReload(SeekMode mode)
{
    platform::View& v = view();
    const platform::Record current = m_buffer.get();
    if (mode == SeekMode::OnPosition) {
        v.toPosition(v.position(current));
    } else {
        platform::Record seek = current;
        m_host.primeRange(seek);
        if (m_order->rangeComponents > 0)
            v.setRange(seek, m_order->rangeComponents);
        v.toValue(seek);
    }
    if (!v.setFilter(m_order->filter, m_bindings).ok())
        m_host.viewFailed();
    m_page.clear();
    const FetchResult probe = fetch(1, true, false);
    if (probe.failed)
        return;
    reloadPage(probe.missing == 0 ? ReloadMode::FromViewPosition : ReloadMode::FromEnd);
}

void PageCursor::scrollOneRow(bool down, bool& cameShort)
{
    if (!down && m_selected > 1) {
        --m_selected;
    } else if (down && m_selected < size()) {
        ++m_selected;
    } else {
        const FetchResult f = fetch(1, down);
        cameShort = f.missing > 0;
        m_list.showRows(m_page);
    }
}

void PageCursor::scrollOnePage(bool down, bool& cameShort)
{
    const FetchResult f = fetch(visibleRows(), down);
    m_list.showRows(m_page);
    if (f.missing > 0) {
        cameShort = true;
        m_selected = down ? std::min(size(), m_selected + f.missing) : std::max(1, m_selected - f.missing);
    }
}

void PageCursor::jumpToEnd(bool bottom)
{
    m_page.clear();
    resetView();
    fetch(visibleRows(), !bottom);
    m_list.showRows(m_page);
    m_selected = bottom ? size() : (m_page.empty() ? 0 : 1);
}

void PageCursor::readSelected(int listedRow)
{
    const int row = (listedRow >= 1 && listedRow <= size()) ? listedRow : m_selected;
    if (row < 1 || m_page.empty())
        return;
    platform::Record fresh;
    if (m_buffer.file().reget(m_page[static_cast<std::size_t>(row - 1)].position, fresh).ok())
        m_buffer.set(fresh);
}

} // namespace fundora::engine
