#include "engine/BrowseEngine.h"

#include "core/GlobalState.h"
#include "engine/ListLocator.h"
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"

namespace fundora::engine {

using core::Command::FirstPage;
using core::Command::LastPage;
using core::Command::NextPage;
using core::Command::NextRecord;
using core::Command::PreviousPage;
using core::Command::PreviousRecord;

namespace {

constexpr int ThumbStops = 100;

} // namespace

BrowseEngine::BrowseEngine(RecordBuffer& buffer, std::vector<SortOrder> orders, ThumbStrategy thumb, ListControl& list, BrowseHost& host)
    : m_buffer(buffer), m_orders(std::move(orders)), m_thumbStrategy(thumb), m_list(list), m_host(host),
      m_cursor(buffer, list, host, m_bindings, [this] {
          m_state = State::Failed;
          m_host.readFailed();
      })
{
    m_cursor.setOrder(order());
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

void BrowseEngine::onScroll(Scroll s)
{
    if (m_cursor.empty() || formOpen())
        return;
    bool cameShort = false;
    switch (s) {
    case Scroll::RowUp: m_cursor.scrollOneRow(false, cameShort); break;
    case Scroll::RowDown: m_cursor.scrollOneRow(true, cameShort); break;
    case Scroll::PageUp: m_cursor.scrollOnePage(false, cameShort); break;
    case Scroll::PageDown: m_cursor.scrollOnePage(true, cameShort); break;
    case Scroll::Top: m_cursor.jumpToEnd(false); break;
    case Scroll::Bottom: m_cursor.jumpToEnd(true); break;
    }
    afterScroll(cameShort, s == Scroll::RowUp);
}

void BrowseEngine::afterScroll(bool cameShort, bool oneRowUp)
{
    if (m_thumbStrategy == ThumbStrategy::ThreePosition) {
        const bool full = m_cursor.size() >= m_list.visibleRows();
        if (!full)
            m_thumb = 0;
        else if (cameShort)
            m_thumb = oneRowUp ? 0 : 100;
        else
            m_thumb = 50;
    }
    m_list.setSelectedRow(m_cursor.selected());
    postNewSelection();
}

void BrowseEngine::onScrollDrag()
{
    if (formOpen())
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
    seekAndShow(SeekMode::OnValue);
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
    if (formOpen())
        return;
    if (rightButton) {
        const bool rows = !m_cursor.empty();
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
    if (!m_cursor.empty()) {
        const int listed = m_list.selectedRow();
        if (listed >= 1 && listed <= m_cursor.size())
            m_cursor.setSelected(listed);
        m_cursor.loadRow(m_cursor.selected());
        if (m_cursor.size() != m_list.visibleRows()) {
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
    if (m_cursor.empty() || formOpen())
        return;
    m_cursor.loadRow(m_cursor.selected());
    m_host.pressButton(m_host.hasSelectButton() && m_startRequest == core::Request::Select ? EditButton::Select : EditButton::Change);
    postNewSelection();
}

void BrowseEngine::onInsertKey()
{
    if (formOpen())
        return;
    m_host.pressButton(EditButton::Insert);
    postNewSelection();
}

void BrowseEngine::onDeleteKey()
{
    if (formOpen())
        return;
    if (!m_cursor.empty())
        m_host.pressButton(EditButton::Delete);
    postNewSelection();
}

void BrowseEngine::onCtrlEnter()
{
    if (formOpen())
        return;
    if (!m_cursor.empty())
        m_host.pressButton(EditButton::Change);
    postNewSelection();
}

void BrowseEngine::onLocatorKey(QChar typed)
{
    if (formOpen())
        return;
    const int field = order().locatorField;
    if (m_cursor.empty() || field < 0 || !typed.isPrint()) {
        postNewSelection();
        return;
    }
    const ListLocator locator(m_buffer.file().def(), field);
    const QChar c = typed.toUpper();
    if (locator.leadingCharacter(m_buffer.get()) == c) {
        // Typed again: the next row, if it starts with the same character.
        bool cameShort = false;
        m_cursor.scrollOneRow(true, cameShort);
        m_list.setSelectedRow(m_cursor.selected());
        m_cursor.loadRow(m_cursor.selected());
    }
    if (locator.leadingCharacter(m_buffer.get()) != c) {
        platform::Record r = locator.seekRecord(m_buffer.get(), typed);
        m_host.primeRange(r);
        m_buffer.set(r);
        seekAndShow(SeekMode::OnValue);
    } else {
        m_list.setSelectedRow(m_cursor.selected());
    }
    postNewSelection();
}

void BrowseEngine::buildThumbStops()
{
    if (m_thumbStrategy != ThumbStrategy::Stops || order().locatorField < 0)
        return;
    const std::unique_ptr<platform::View> v = rangeView(m_sort);
    std::vector<QString> stops = ListLocator(m_buffer.file().def(), order().locatorField).thumbStops(*v, ThumbStops);
    if (!stops.empty())
        m_stops = std::move(stops);
}

bool BrowseEngine::selectsTheSame(const SortOrder& a, const SortOrder& b) const
{
    if (a.filter != b.filter || a.rangeComponents != b.rangeComponents)
        return false;
    const platform::FileDef& def = m_buffer.file().def();
    const auto& first = def.keys.at(static_cast<std::size_t>(a.key)).parts;
    const auto& second = def.keys.at(static_cast<std::size_t>(b.key)).parts;
    for (int i = 0; i < a.rangeComponents; ++i)
        if (first.at(static_cast<std::size_t>(i)).field != second.at(static_cast<std::size_t>(i)).field)
            return false;
    return true;
}

void BrowseEngine::applySortAndResets(bool force)
{
    m_previousSort = m_sort;
    m_sort = std::clamp(m_host.currentSortOrder(), 0, static_cast<int>(m_orders.size()) - 1);
    m_cursor.setOrder(order());
    const bool opening = m_state == State::Opening;
    const std::vector<platform::FieldValue> resets = currentResets(m_sort);
    bool resetChanged = false;
    const bool sortChanged = opening || m_sort != m_previousSort;
    if (!sortChanged)
        resetChanged = m_savedResets[m_sort] != resets;
    else if (!m_savedResets.count(m_sort))
        m_savedResets[m_sort] = resets;
    if (sortChanged || resetChanged || force) {
        m_savedResets[m_sort] = resets;
        readSelected();
        m_cursor.resetView();
        if ((opening && m_startRequest != core::Request::Select) || resetChanged) {
            m_cursor.clear();
            m_cursor.reloadPage(ReloadMode::FromPage);
            postNewSelection();
        } else {
            seekAndShow(SeekMode::OnValue);
        }
        m_state = State::Browsing;
        m_cursor.loadRow(m_cursor.selected());
        // Another tab over the same records (only the order differs) keeps the totals while the
        // register stands still; its thumb stops are its own.
        if (opening || force || resetChanged || registerChanged() || !selectsTheSame(m_orders[m_sort], m_orders[m_previousSort]))
            computeTotals();
        else
            buildThumbStops();
        // Totals that are reset fields were just computed for this page: the
        // next refresh compares against them, not against the values before,
        // or it would reload the page and compute them all over again.
        m_savedResets[m_sort] = currentResets(m_sort);
    } else {
        m_cursor.loadRow(m_cursor.selected());
    }
}

void BrowseEngine::refreshWindow(bool force)
{
    if (m_state == State::Failed || formOpen())
        return;
    m_host.beforeRefresh();
    applySortAndResets(force);
    m_host.afterRefresh();
    m_list.setThumb(m_thumb);
}

void BrowseEngine::forceRefresh()
{
    refreshWindow(true);
}

bool BrowseEngine::registerChanged()
{
    return m_buffer.file().store().generation() != m_readAt;
}

void BrowseEngine::reloadPage()
{
    if (m_state != State::Browsing)
        return;
    // The row the list shows highlighted, though its new selection may not have been taken yet.
    if (const int listed = m_list.selectedRow(); listed >= 1 && listed <= m_cursor.size())
        m_cursor.setSelected(listed);
    m_cursor.reloadPage(ReloadMode::FromPage);
    postNewSelection();
}

void BrowseEngine::seekAndShow(SeekMode mode)
{
    m_cursor.seekAndReload(mode);
    postNewSelection();
}

void BrowseEngine::readSelected()
{
    if (!formOpen())
        m_cursor.readSelected(m_list.selectedRow());
}

void BrowseEngine::insertRecord(FormPrime prime)
{
    if (formOpen())
        return;
    m_buffer.clear();
    platform::Record primed = m_buffer.get();
    m_host.primeRange(primed);
    m_buffer.set(primed);
    callForm({core::Request::Insert, prime}, [this] { editFinished(core::Request::Insert, m_response == core::Response::Completed); });
}

void BrowseEngine::changeRecord()
{
    if (formOpen() || m_cursor.empty())
        return;
    readSelected();
    callForm({core::Request::Change}, [this] { editFinished(core::Request::Change, m_response == core::Response::Completed); });
}

void BrowseEngine::deleteRecord()
{
    if (formOpen() || m_cursor.empty())
        return;
    readSelected();
    callForm({core::Request::Delete}, [this] { editFinished(core::Request::Delete, m_response == core::Response::Completed); });
}

void BrowseEngine::computeTotals()
{
    BusyWhile busy(m_host);
    m_host.computeTotals();
    buildThumbStops();
    // Page and totals now hold until the files change (reads do not move the generation).
    m_readAt = m_buffer.file().store().generation();
}

void BrowseEngine::editFinished(core::Request request, bool completed)
{
    // What the reset fields follow and the totals first: when a reset field moves with them the
    // page is read from the top, as a refresh would read it, and the totals are not computed twice.
    m_host.beforeRefresh();
    computeTotals();
    if (const std::vector<platform::FieldValue> resets = currentResets(m_sort); m_savedResets[m_sort] != resets) {
        m_savedResets[m_sort] = resets;
        m_cursor.clear();
        m_cursor.reloadPage(ReloadMode::FromPage);
    } else {
        if (request == core::Request::Delete) {
            if (completed)
                m_cursor.dropRow(m_cursor.selected());
            m_cursor.reloadPage(ReloadMode::FromPage);
        } else if (completed) {
            seekAndShow(SeekMode::OnPosition);
        } else {
            m_cursor.reloadPage(ReloadMode::FromPage);
        }
    }
    postNewSelection();
    m_list.setFocusToList();
    m_response = core::Response::Cancelled;
    refreshWindow();
}

void BrowseEngine::callForm(FormCall call, std::function<void()> finished)
{
    const State before = m_state;
    m_state = State::FormOpen;
    const core::Request request = call.request;
    m_host.callUpdateForm(call, [this, before, request, finished](core::Response response, core::Navigation navigation) {
        m_state = before;
        m_response = response;
        core::Request next = request;
        auto moveAndCall = [&](auto move) {
            m_cursor.resetView();
            seekAndShow(SeekMode::OnPosition);
            move();
            m_list.setSelectedRow(m_cursor.selected());
            m_newSelectionPending = false;
            m_cursor.loadRow(m_cursor.selected());
            readSelected();
            callForm({next}, finished); // a new call: nothing of the last one's prime
        };
        bool cameShort = false;
        switch (navigation) {
        case core::Navigation::None:
            m_cursor.resetView();
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
            moveAndCall([&] { m_cursor.scrollOneRow(true, cameShort); });
            return;
        case core::Navigation::PreviousRecord: moveAndCall([&] { m_cursor.scrollOneRow(false, cameShort); }); return;
        case core::Navigation::NextPage: moveAndCall([&] { m_cursor.scrollOnePage(true, cameShort); }); return;
        case core::Navigation::PreviousPage: moveAndCall([&] { m_cursor.scrollOnePage(false, cameShort); }); return;
        case core::Navigation::LastPage: moveAndCall([&] { m_cursor.jumpToEnd(true); }); return;
        case core::Navigation::FirstPage: moveAndCall([&] { m_cursor.jumpToEnd(false); }); return;
        }
        callForm({request}, finished);
    });
}

void BrowseEngine::toolbarNavigate(int command)
{
    if (formOpen())
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
