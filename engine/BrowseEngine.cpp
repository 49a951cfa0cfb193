#include "engine/BrowseEngine.h"

#include "core/GlobalState.h"
#include "core/KeyStepping.h"
#include "platform/store/DataFile.h"
#include "platform/store/Position.h"

#include <QApplication>
#include <QCursor>

namespace fundora::engine {

using core::Command::FirstPage;
using core::Command::LastPage;
using core::Command::NextPage;
using core::Command::NextRecord;
using core::Command::PreviousPage;
using core::Command::PreviousRecord;

namespace {

// Shows the busy cursor for as long as it lives (when there is a screen to show it on).
class BusyCursor {
public:
    BusyCursor()
    {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::setOverrideCursor(Qt::WaitCursor), m_set = true;
    }
    ~BusyCursor()
    {
        if (m_set)
            QApplication::restoreOverrideCursor();
    }

private:
    bool m_set = false;
};

constexpr int ThumbStops = 100;

} // namespace

BrowseEngine::BrowseEngine(RecordBuffer& buffer, std::vector<SortOrder> orders, ThumbStrategy thumb, ListControl& list, BrowseHost& host)
    : m_buffer(buffer), m_orders(std::move(orders)), m_thumbStrategy(thumb), m_list(list), m_host(host)
{
    // Filters name each sort order's saved copy of its reset fields.
    for (std::size_t o = 0; o < m_orders.size(); ++o) {
        const std::vector<ResetField>& resets = m_orders[o].resets;
        for (std::size_t r = 0; r < resets.size(); ++r) {
            const QString name =
                resets[r].boundAs.isEmpty() ? QStringLiteral("BRW1::Sort%1:Reset:%2").arg(o + 1).arg(resets[r].name) : resets[r].boundAs;
            const int order = static_cast<int>(o);
            m_bindings.bind(name, [this, order, r] {
                const auto it = m_savedResets.find(order);
                if (it != m_savedResets.end() && r < it->second.size())
                    return it->second[r];
                return m_orders[static_cast<std::size_t>(order)].resets[r].value();
            });
        }
    }
}

std::vector<platform::FieldValue> BrowseEngine::currentResets(int order) const
{
    std::vector<platform::FieldValue> values;
    for (const ResetField& r : m_orders[static_cast<std::size_t>(order)].resets)
        values.push_back(r.value());
    return values;
}

std::unique_ptr<platform::View> BrowseEngine::rangeView(int order) const
{
    const SortOrder& o = m_orders[static_cast<std::size_t>(order)];
    auto v = std::make_unique<platform::View>(m_buffer.file(), o.key);
    if (o.rangeComponents > 0) {
        platform::Record owner = m_buffer.get();
        m_host.primeRange(owner);
        v->setRange(owner, o.rangeComponents);
    }
    v->setFilter(o.filter, m_bindings);
    v->toStart();
    return v;
}

BrowseEngine::~BrowseEngine() = default;

std::int64_t BrowseEngine::rowOf(const QString& position)
{
    const auto p = platform::Position::decode(position);
    return p ? p->row : 0;
}

platform::View& BrowseEngine::view()
{
    if (!m_view || m_view->key() != order().key) {
        m_view = std::make_unique<platform::View>(m_buffer.file(), order().key);
        m_view->setReadAhead(std::max(1, m_list.visibleRows()));
    }
    return *m_view;
}

void BrowseEngine::resetView()
{
    platform::View& v = view();
    if (order().rangeComponents > 0) {
        platform::Record owner = m_buffer.get();
        m_host.primeRange(owner);
        v.setRange(owner, order().rangeComponents);
    } else {
        v.clearRange();
    }
    v.toStart();
    if (!v.setFilter(order().filter, m_bindings).ok())
        m_host.viewFailed();
}

BrowseRow BrowseEngine::makeRow(const platform::Record& r)
{
    BrowseRow row;
    row.record = r;
    row.position = view().position(r);
    m_host.buildRow(row);
    return row;
}

BrowseEngine::FetchResult BrowseEngine::fetch(int count, bool forward, bool addRows)
{
    FetchResult result;
    const int visible = std::max(1, m_list.visibleRows());
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
            m_failed = true;
            m_host.readFailed();
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

int BrowseEngine::fetchRows(int count, bool forward)
{
    return fetch(count, forward).missing;
}

void BrowseEngine::loadRow(int row)
{
    if (row < 1 || row > static_cast<int>(m_page.size()))
        return;
    const BrowseRow& r = m_page[static_cast<std::size_t>(row - 1)];
    m_buffer.set(r.record);
    m_host.rowLoaded(r);
}

void BrowseEngine::reloadPage(ReloadMode mode)
{
    BusyCursor busy;
    QString highlight;
    if (mode == ReloadMode::FromViewPosition) {
        highlight = m_lastRead;
        view().toPosition(highlight);
    } else if (!m_page.empty()) {
        const int at = (m_selected >= 1 && m_selected <= static_cast<int>(m_page.size())) ? m_selected : static_cast<int>(m_page.size());
        highlight = m_page[static_cast<std::size_t>(at - 1)].position;
        view().toPosition(m_page.front().position);
    } else {
        resetView();
    }
    m_page.clear();
    const int visible = std::max(1, m_list.visibleRows());
    const bool forward = mode != ReloadMode::FromEnd;
    FetchResult f = fetch(visible, forward);
    if (f.failed)
        return;
    if (!highlight.isEmpty() && f.missing > 0) {
        if (m_page.empty())
            resetView();
        if (fetch(f.missing, !forward).failed)
            return;
    }
    if (!m_page.empty()) {
        int select = 0;
        if (!highlight.isEmpty()) {
            const std::int64_t wanted = rowOf(highlight);
            for (std::size_t i = 0; i < m_page.size() && select == 0; ++i)
                if (m_page[i].record.identity.row == wanted)
                    select = static_cast<int>(i) + 1;
            if (select == 0)
                select = static_cast<int>(m_page.size());
        } else {
            select = mode == ReloadMode::FromEnd ? static_cast<int>(m_page.size()) : 1;
        }
        m_selected = select;
        m_list.showRows(m_page);
        m_list.setSelectedRow(m_selected);
        loadRow(m_selected);
        m_host.setEditEnabled(true);
    } else {
        m_buffer.clear();
        m_selected = 0;
        m_list.showRows(m_page);
        m_host.setEditEnabled(false);
    }
    m_reloadMode = ReloadMode::FromPage;
}

void BrowseEngine::seekAndReload(SeekMode mode)
{
    platform::View& v = view();
    const platform::Record current = m_buffer.get();
    if (mode == SeekMode::OnPosition) {
        v.toPosition(v.position(current));
    } else {
        platform::Record seek = current;
        m_host.primeRange(seek);
        if (order().rangeComponents > 0)
            v.setRange(seek, order().rangeComponents);
        v.toValue(seek);
    }
    if (!v.setFilter(order().filter, m_bindings).ok())
        m_host.viewFailed();
    m_page.clear();
    const FetchResult probe = fetch(1, true, false);
    if (probe.failed)
        return;
    reloadPage(probe.missing == 0 ? ReloadMode::FromViewPosition : ReloadMode::FromEnd);
    postNewSelection();
}

void BrowseEngine::scrollOneRow(bool down, bool& cameShort)
{
    if (!down && m_selected > 1) {
        --m_selected;
    } else if (down && m_selected < static_cast<int>(m_page.size())) {
        ++m_selected;
    } else {
        const FetchResult f = fetch(1, down);
        cameShort = f.missing > 0;
        m_list.showRows(m_page);
    }
}

void BrowseEngine::scrollOnePage(bool down, bool& cameShort)
{
    const int visible = std::max(1, m_list.visibleRows());
    const FetchResult f = fetch(visible, down);
    m_list.showRows(m_page);
    if (f.missing > 0) {
        cameShort = true;
        m_selected = down ? std::min(static_cast<int>(m_page.size()), m_selected + f.missing) : std::max(1, m_selected - f.missing);
    }
}

void BrowseEngine::jumpToEnd(bool bottom)
{
    m_page.clear();
    resetView();
    fetch(std::max(1, m_list.visibleRows()), !bottom);
    m_list.showRows(m_page);
    m_selected = bottom ? static_cast<int>(m_page.size()) : (m_page.empty() ? 0 : 1);
}

void BrowseEngine::onScroll(Scroll s)
{
    if (m_page.empty() || m_formOpen)
        return;
    bool cameShort = false;
    switch (s) {
    case Scroll::RowUp: scrollOneRow(false, cameShort); break;
    case Scroll::RowDown: scrollOneRow(true, cameShort); break;
    case Scroll::PageUp: scrollOnePage(false, cameShort); break;
    case Scroll::PageDown: scrollOnePage(true, cameShort); break;
    case Scroll::Top: jumpToEnd(false); break;
    case Scroll::Bottom: jumpToEnd(true); break;
    }
    afterScroll(cameShort, s == Scroll::RowUp);
}

void BrowseEngine::afterScroll(bool cameShort, bool oneRowUp)
{
    if (m_thumbStrategy == ThumbStrategy::ThreePosition) {
        const bool full = static_cast<int>(m_page.size()) >= m_list.visibleRows();
        if (!full)
            m_thumb = 0;
        else if (cameShort)
            m_thumb = oneRowUp ? 0 : 100;
        else
            m_thumb = 50;
    }
    m_list.setSelectedRow(m_selected);
    postNewSelection();
}

void BrowseEngine::onScrollDrag()
{
    if (m_formOpen)
        return;
    const int p = m_list.thumb();
    if (p <= 1) {
        onScroll(Scroll::Top);
        return;
    }
    if (p >= 100) {
        onScroll(Scroll::Bottom);
        return;
    }
    if (m_thumbStrategy != ThumbStrategy::Stops || m_sort != 0 || m_stops.size() != ThumbStops || order().locatorField < 0)
        return;
    platform::Record r = m_buffer.get();
    r.values[static_cast<std::size_t>(order().locatorField)] = m_stops[static_cast<std::size_t>(p - 1)];
    m_buffer.set(r);
    seekAndReload(SeekMode::OnValue);
}

void BrowseEngine::postNewSelection()
{
    if (m_newSelectionPending)
        return;
    m_newSelectionPending = true;
    m_host.post([this] { onNewSelection(); });
}

void BrowseEngine::onNewSelection(bool rightButton)
{
    m_newSelectionPending = false;
    if (m_formOpen)
        return;
    if (rightButton) {
        const bool rows = !m_page.empty();
        QString menu = rows ? QStringLiteral("&Insert|&Change|&Delete") : QStringLiteral("&Insert|~&Change|~&Delete");
        if (m_host.hasSelectButton())
            menu += QStringLiteral("|-|") +
                    ((m_startRequest == core::Request::Select && rows) ? QStringLiteral("&Select") : QStringLiteral("~&Select"));
        switch (m_list.popupMenu(menu)) {
        case 1: m_host.pressButton(EditButton::Insert); break;
        case 2: m_host.pressButton(EditButton::Change); break;
        case 3: m_host.pressButton(EditButton::Delete); break;
        case 4: m_host.pressButton(EditButton::Select); break;
        default: break;
        }
        return;
    }
    if (!m_page.empty()) {
        const int listed = m_list.selectedRow();
        if (listed >= 1 && listed <= static_cast<int>(m_page.size()))
            m_selected = listed;
        loadRow(m_selected);
        if (static_cast<int>(m_page.size()) != m_list.visibleRows()) {
            m_list.setScrollBarVisible(false);
        } else {
            m_list.setScrollBarVisible(true);
            if (m_thumbStrategy == ThumbStrategy::Stops && m_sort == 0 && m_stops.size() == ThumbStops && order().locatorField >= 0) {
                const QString locator = m_buffer.get().text(order().locatorField).toUpper();
                int i = 1;
                while (i <= ThumbStops && m_stops[static_cast<std::size_t>(i - 1)] < locator)
                    ++i;
                m_thumb = i < 2 ? 0 : std::min(i, 100);
            }
        }
    }
    refreshWindow();
}

void BrowseEngine::onDoubleClick()
{
    if (m_page.empty() || m_formOpen)
        return;
    loadRow(m_selected);
    m_host.pressButton(m_host.hasSelectButton() && m_startRequest == core::Request::Select ? EditButton::Select : EditButton::Change);
    postNewSelection();
}

void BrowseEngine::onInsertKey()
{
    if (m_formOpen)
        return;
    m_host.pressButton(EditButton::Insert);
    postNewSelection();
}

void BrowseEngine::onDeleteKey()
{
    if (m_formOpen)
        return;
    if (!m_page.empty())
        m_host.pressButton(EditButton::Delete);
    postNewSelection();
}

void BrowseEngine::onCtrlEnter()
{
    if (m_formOpen)
        return;
    if (!m_page.empty())
        m_host.pressButton(EditButton::Change);
    postNewSelection();
}

void BrowseEngine::onLocatorKey(QChar typed)
{
    if (m_formOpen)
        return;
    const int field = order().locatorField;
    if (m_page.empty() || field < 0 || !typed.isPrint()) {
        postNewSelection();
        return;
    }
    const QChar c = typed.toUpper();
    const platform::FieldDef& def = m_buffer.file().def().fields[static_cast<std::size_t>(field)];
    const bool text = def.type == platform::FieldType::String || def.type == platform::FieldType::Memo;
    auto firstOf = [&](const platform::Record& r) {
        const QString s = text ? r.text(field) : QString::number(r.integer(field));
        return s.isEmpty() ? QChar() : s[0].toUpper();
    };
    if (firstOf(m_buffer.get()) == c) {
        bool cameShort = false;
        scrollOneRow(true, cameShort);
        m_list.setSelectedRow(m_selected);
        loadRow(m_selected);
    }
    if (firstOf(m_buffer.get()) != c) {
        platform::Record r = m_buffer.get();
        if (text)
            r.values[static_cast<std::size_t>(field)] = QString(typed);
        else
            r.values[static_cast<std::size_t>(field)] = std::int64_t{typed.isDigit() ? typed.digitValue() : 0};
        m_host.primeRange(r);
        m_buffer.set(r);
        seekAndReload(SeekMode::OnValue);
    } else {
        m_list.setSelectedRow(m_selected);
    }
    postNewSelection();
}

void BrowseEngine::buildThumbStops()
{
    if (m_thumbStrategy != ThumbStrategy::Stops || order().locatorField < 0)
        return;
    const std::unique_ptr<platform::View> v = rangeView(m_sort);
    platform::Record high, low;
    if (!v->previous(high).ok())
        return;
    v->toStart();
    if (!v->next(low).ok())
        return;
    const int field = order().locatorField;
    const int width = m_buffer.file().def().fields[static_cast<std::size_t>(field)].size;
    core::KeyStepper stepper;
    stepper.setup(low.text(field), high.text(field), width, core::KeyStepper::Letters);
    m_stops.clear();
    for (int i = 0; i < ThumbStops; ++i)
        m_stops.push_back(stepper.next());
}

void BrowseEngine::applySortAndResets()
{
    m_previousSort = m_sort;
    m_sort = std::clamp(m_host.currentSortOrder(), 0, static_cast<int>(m_orders.size()) - 1);
    const std::vector<platform::FieldValue> resets = currentResets(m_sort);
    bool resetChanged = false;
    const bool sortChanged = m_firstRefresh || m_sort != m_previousSort;
    if (!sortChanged)
        resetChanged = m_savedResets[m_sort] != resets;
    else if (!m_savedResets.count(m_sort))
        m_savedResets[m_sort] = resets;
    if (sortChanged || resetChanged || m_forceRefresh) {
        m_savedResets[m_sort] = resets;
        readSelected();
        resetView();
        if ((m_firstRefresh && m_startRequest != core::Request::Select) || resetChanged) {
            m_page.clear();
            reloadPage(ReloadMode::FromPage);
            postNewSelection();
        } else {
            seekAndReload(SeekMode::OnValue);
        }
        m_firstRefresh = false;
        loadRow(m_selected);
        BusyCursor busy;
        m_host.computeTotals();
        buildThumbStops();
        // Totals that are reset fields were just computed for this page: the
        // next refresh compares against them, not against the values before,
        // or it would reload the page and compute them all over again.
        m_savedResets[m_sort] = currentResets(m_sort);
    } else {
        loadRow(m_selected);
    }
}

void BrowseEngine::refreshWindow()
{
    if (m_acceptAll || m_failed || m_formOpen)
        return;
    m_host.beforeRefresh();
    applySortAndResets();
    m_host.afterRefresh();
    m_list.setThumb(m_thumb);
    m_forceRefresh = false;
}

void BrowseEngine::forceRefresh()
{
    m_forceRefresh = true;
    refreshWindow();
}

void BrowseEngine::readSelected()
{
    if (m_page.empty() || m_formOpen)
        return;
    const int listed = m_list.selectedRow();
    const int row = (listed >= 1 && listed <= static_cast<int>(m_page.size())) ? listed : m_selected;
    if (row < 1)
        return;
    platform::Record fresh;
    if (m_buffer.file().reget(m_page[static_cast<std::size_t>(row - 1)].position, fresh).ok())
        m_buffer.set(fresh);
}

void BrowseEngine::insertRecord(FormPrime prime)
{
    if (m_formOpen)
        return;
    m_buffer.clear();
    platform::Record primed = m_buffer.get();
    m_host.primeRange(primed);
    m_buffer.set(primed);
    callForm({core::Request::Insert, prime}, [this] { editFinished(core::Request::Insert, m_response == core::Response::Completed); });
}

void BrowseEngine::changeRecord()
{
    if (m_formOpen || m_page.empty())
        return;
    readSelected();
    callForm({core::Request::Change}, [this] { editFinished(core::Request::Change, m_response == core::Response::Completed); });
}

void BrowseEngine::deleteRecord()
{
    if (m_formOpen || m_page.empty())
        return;
    readSelected();
    callForm({core::Request::Delete}, [this] { editFinished(core::Request::Delete, m_response == core::Response::Completed); });
}

void BrowseEngine::editFinished(core::Request request, bool completed)
{
    if (request == core::Request::Delete) {
        if (completed && m_selected >= 1 && m_selected <= static_cast<int>(m_page.size()))
            m_page.erase(m_page.begin() + (m_selected - 1));
        reloadPage(ReloadMode::FromPage);
    } else if (completed) {
        seekAndReload(SeekMode::OnPosition);
    } else {
        reloadPage(ReloadMode::FromPage);
    }
    {
        BusyCursor busy;
        m_host.computeTotals();
        buildThumbStops();
    }
    postNewSelection();
    m_list.setFocusToList();
    m_response = core::Response::Cancelled;
    refreshWindow();
}

void BrowseEngine::callForm(FormCall call, std::function<void()> finished)
{
    m_formOpen = true;
    const core::Request request = call.request;
    m_host.callUpdateForm(call, [this, request, finished](core::Response response, core::Navigation navigation) {
        m_formOpen = false;
        m_response = response;
        core::Request next = request;
        auto moveAndCall = [&](auto move) {
            resetView();
            seekAndReload(SeekMode::OnPosition);
            move();
            m_list.setSelectedRow(m_selected);
            m_newSelectionPending = false;
            loadRow(m_selected);
            readSelected();
            callForm({next}, finished); // a new call: nothing of the last one's prime
        };
        bool cameShort = false;
        switch (navigation) {
        case core::Navigation::None:
            resetView();
            finished();
            return;
        case core::Navigation::Insert: next = core::Request::Insert; [[fallthrough]];
        case core::Navigation::NextRecord:
            if (next == core::Request::Insert) {
                m_buffer.clear();
                platform::Record primed = m_buffer.get();
                m_host.primeRange(primed);
                m_buffer.set(primed);
                callForm({core::Request::Insert}, finished);
                return;
            }
            moveAndCall([&] { scrollOneRow(true, cameShort); });
            return;
        case core::Navigation::PreviousRecord: moveAndCall([&] { scrollOneRow(false, cameShort); }); return;
        case core::Navigation::NextPage: moveAndCall([&] { scrollOnePage(true, cameShort); }); return;
        case core::Navigation::PreviousPage: moveAndCall([&] { scrollOnePage(false, cameShort); }); return;
        case core::Navigation::LastPage: moveAndCall([&] { jumpToEnd(true); }); return;
        case core::Navigation::FirstPage: moveAndCall([&] { jumpToEnd(false); }); return;
        }
        callForm({request}, finished);
    });
}

void BrowseEngine::toolbarNavigate(int command)
{
    if (m_formOpen)
        return;
    switch (command) {
    case LastPage: onScroll(Scroll::Bottom); break;
    case FirstPage: onScroll(Scroll::Top); break;
    case NextPage: onScroll(Scroll::PageDown); break;
    case PreviousPage: onScroll(Scroll::PageUp); break;
    case NextRecord: onScroll(Scroll::RowDown); break;
    case PreviousRecord: onScroll(Scroll::RowUp); break;
    default: break; // 2010 locate: these lists do not act on it
    }
}

} // namespace fundora::engine
