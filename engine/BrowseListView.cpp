#include "engine/BrowseListView.h"

#include "engine/BrowseEngine.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>

namespace fundora::engine {

BrowseListView::BrowseListView(const QStringList& headers, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_table = new QTableWidget(0, static_cast<int>(headers.size()), this);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setAccessibleName(headers.join(QStringLiteral(", ")));
    m_table->installEventFilter(this);
    m_table->viewport()->installEventFilter(this);
    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setRange(0, 100);
    m_bar->setPageStep(10);
    m_bar->setAccessibleName(QStringLiteral("Scroll"));
    layout->addWidget(m_table);
    layout->addWidget(m_bar);
    setFocusProxy(m_table);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        if (m_engine && !m_settingThumb)
            m_engine->postNewSelection();
    });
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (!m_engine || m_settingThumb)
            return;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: m_engine->onScroll(BrowseEngine::Scroll::RowDown); break;
        case QAbstractSlider::SliderSingleStepSub: m_engine->onScroll(BrowseEngine::Scroll::RowUp); break;
        case QAbstractSlider::SliderPageStepAdd: m_engine->onScroll(BrowseEngine::Scroll::PageDown); break;
        case QAbstractSlider::SliderPageStepSub: m_engine->onScroll(BrowseEngine::Scroll::PageUp); break;
        case QAbstractSlider::SliderToMinimum: m_engine->onScroll(BrowseEngine::Scroll::Top); break;
        case QAbstractSlider::SliderToMaximum: m_engine->onScroll(BrowseEngine::Scroll::Bottom); break;
        default: break;
        }
        // The engine decides where the thumb stands, not the drag of the step.
        QMetaObject::invokeMethod(
            this, [this] { setThumb(m_engine->thumbPosition()); }, Qt::QueuedConnection);
    });
    connect(m_bar, &QScrollBar::sliderReleased, this, [this] {
        if (m_engine)
            m_engine->onScrollDrag();
    });
}

int BrowseListView::visibleRows() const
{
    if (m_fixedRows > 0)
        return m_fixedRows;
    const int rowHeight = std::max(1, m_table->verticalHeader()->defaultSectionSize());
    const int height = m_table->viewport()->height();
    return std::max(1, height / rowHeight);
}

void BrowseListView::showRows(const std::vector<BrowseRow>& rows)
{
    m_settingThumb = true;
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList& cols = rows[static_cast<std::size_t>(r)].columns;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(c < cols.size() ? cols[c] : QString());
            m_table->setItem(r, c, item);
        }
    }
    m_settingThumb = false;
}

int BrowseListView::selectedRow() const
{
    const int row = m_table->currentRow();
    return row < 0 ? 0 : row + 1;
}

void BrowseListView::setSelectedRow(int row)
{
    m_settingThumb = true;
    if (row >= 1 && row <= m_table->rowCount())
        m_table->selectRow(row - 1);
    else
        m_table->clearSelection();
    m_settingThumb = false;
}

void BrowseListView::setScrollBarVisible(bool visible)
{
    m_bar->setVisible(visible);
}

int BrowseListView::thumb() const
{
    return m_bar->value();
}

void BrowseListView::setThumb(int position)
{
    m_settingThumb = true;
    m_bar->setValue(position);
    m_settingThumb = false;
}

int BrowseListView::popupMenu(const QString& items)
{
    QMenu menu(this);
    QList<QAction*> real;
    for (QString item : items.split(u'|')) {
        if (item == QStringLiteral("-")) {
            menu.addSeparator();
            continue;
        }
        const bool disabled = item.startsWith(u'~');
        if (disabled)
            item.remove(0, 1);
        QAction* a = menu.addAction(item);
        a->setEnabled(!disabled);
        real << a;
    }
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? static_cast<int>(real.indexOf(chosen)) + 1 : 0;
}

void BrowseListView::setFocusToList()
{
    m_table->setFocus();
}

void BrowseListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
}

bool BrowseListView::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_engine)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up: m_engine->onScroll(BrowseEngine::Scroll::RowUp); return true;
        case Qt::Key_Down: m_engine->onScroll(BrowseEngine::Scroll::RowDown); return true;
        case Qt::Key_PageUp: m_engine->onScroll(BrowseEngine::Scroll::PageUp); return true;
        case Qt::Key_PageDown: m_engine->onScroll(BrowseEngine::Scroll::PageDown); return true;
        case Qt::Key_Home: m_engine->onScroll(BrowseEngine::Scroll::Top); return true;
        case Qt::Key_End: m_engine->onScroll(BrowseEngine::Scroll::Bottom); return true;
        case Qt::Key_Insert: m_engine->onInsertKey(); return true;
        case Qt::Key_Delete: m_engine->onDeleteKey(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::ControlModifier) {
                m_engine->onCtrlEnter();
                return true;
            }
            return false;
        default:
            if (!key->text().isEmpty() && key->text()[0].isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                m_engine->onLocatorKey(key->text()[0]);
                return true;
            }
            return false;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_table->viewport()) {
        m_engine->onDoubleClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_table->viewport() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        m_engine->onNewSelection(true);
        return true;
    }
    if (event->type() == QEvent::Wheel && watched == m_table->viewport()) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        m_engine->onScroll(wheel->angleDelta().y() > 0 ? BrowseEngine::Scroll::RowUp : BrowseEngine::Scroll::RowDown);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace fundora::engine
