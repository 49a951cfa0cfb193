#include "engine/BrowseListView.h"

#include "engine/BrowseEngine.h"
#include "engine/BrowseListModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

namespace fundora::engine {

BrowseListView::BrowseListView(std::vector<BrowseColumn> columns, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QStringList headers;
    for (const BrowseColumn& c : columns)
        headers << c.header;
    m_model = new BrowseListModel(std::move(columns), this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false); // Tab leaves the list for the next control; the arrows move in it
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setAccessibleName(headers.join(QStringLiteral(", ")));
    const int charWidth = m_table->fontMetrics().horizontalAdvance(u'0');
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_table->setColumnWidth(c, m_model->columns()[static_cast<std::size_t>(c)].widthChars * charWidth + 12);
    m_table->installEventFilter(this);
    m_table->viewport()->installEventFilter(this);
    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setRange(0, 100);
    m_bar->setPageStep(10);
    m_bar->setAccessibleName(QStringLiteral("Scroll"));
    layout->addWidget(m_table);
    layout->addWidget(m_bar);
    setFocusProxy(m_table);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_engine && !m_quiet)
            m_engine->postNewSelection();
    });
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (!m_engine || m_quiet)
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
    return std::max(1, m_table->viewport()->height() / rowHeight);
}

void BrowseListView::showRows(const std::vector<BrowseRow>& rows)
{
    m_quiet = true;
    m_model->setRows(rows);
    m_quiet = false;
    showEmptyText();
}

void BrowseListView::setEmptyText(const QString& text)
{
    if (!m_empty) {
        m_empty = new QLabel(m_table->viewport());
        m_empty->setAlignment(Qt::AlignCenter);
        m_empty->setWordWrap(true);
        m_empty->setAccessibleName(QStringLiteral("What to do first"));
    }
    m_empty->setText(text);
    showEmptyText();
}

QString BrowseListView::shownEmptyText() const
{
    return m_empty && !m_empty->isHidden() ? m_empty->text() : QString();
}

void BrowseListView::showEmptyText()
{
    if (!m_empty)
        return;
    const bool empty = m_model->rowCount() == 0 && !m_empty->text().isEmpty();
    m_empty->setGeometry(m_table->viewport()->rect().adjusted(12, 12, -12, -12));
    m_empty->setVisible(empty);
    m_table->setAccessibleDescription(empty ? m_empty->text() : QString());
}

int BrowseListView::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void BrowseListView::setSelectedRow(int row)
{
    m_quiet = true;
    if (row >= 1 && row <= m_model->rowCount()) {
        m_table->selectRow(row - 1);
        m_table->setCurrentIndex(m_model->index(row - 1, 0));
    } else {
        m_table->clearSelection();
    }
    m_quiet = false;
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
    m_quiet = true;
    m_bar->setValue(position);
    m_quiet = false;
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

bool BrowseListView::key(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Up: m_engine->onScroll(BrowseEngine::Scroll::RowUp); return true;
    case Qt::Key_Down: m_engine->onScroll(BrowseEngine::Scroll::RowDown); return true;
    case Qt::Key_PageUp: m_engine->onScroll(BrowseEngine::Scroll::PageUp); return true;
    case Qt::Key_PageDown: m_engine->onScroll(BrowseEngine::Scroll::PageDown); return true;
    case Qt::Key_Home: m_engine->onScroll(BrowseEngine::Scroll::Top); return true;
    case Qt::Key_End: m_engine->onScroll(BrowseEngine::Scroll::Bottom); return true;
    case Qt::Key_Insert: m_engine->onInsertKey(); return true;
    case Qt::Key_Delete: m_engine->onDeleteKey(); return true;
    // Enter opens the highlighted row for a change, as Ctrl+Enter does.
    case Qt::Key_Return:
    case Qt::Key_Enter: m_engine->onCtrlEnter(); return true;
    default:
        if (!key.text().isEmpty() && key.text()[0].isPrint() && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_engine->onLocatorKey(key.text()[0]);
            return true;
        }
        return false;
    }
}

bool BrowseListView::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_engine)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (key(*static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_table->viewport()) {
            m_engine->onDoubleClick();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_table->viewport() && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            m_engine->onNewSelection(true);
            return true;
        }
        break;
    case QEvent::Wheel:
        if (watched == m_table->viewport()) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            m_engine->onScroll(wheel->angleDelta().y() > 0 ? BrowseEngine::Scroll::RowUp : BrowseEngine::Scroll::RowDown);
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace fundora::engine
