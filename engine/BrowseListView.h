#pragma once

#include "engine/ListControl.h"

#include <QWidget>

class QScrollBar;
class QTableWidget;

namespace fundora::engine {

class BrowseEngine;

// The list of a browse window: a table that never holds more than a page, and
// a scroll bar of its own whose thumb runs from 0 to 100. Keys, clicks and the
// scroll bar are handed to the engine.
class BrowseListView : public QWidget, public ListControl {
public:
    BrowseListView(const QStringList& headers, QWidget* parent = nullptr);
    void setEngine(BrowseEngine* engine) { m_engine = engine; }
    QTableWidget* table() const { return m_table; }
    QScrollBar* scrollBar() const { return m_bar; }

    int visibleRows() const override;
    void showRows(const std::vector<BrowseRow>& rows) override;
    int selectedRow() const override;
    void setSelectedRow(int row) override;
    void setScrollBarVisible(bool visible) override;
    int thumb() const override;
    void setThumb(int position) override;
    int popupMenu(const QString& items) override;
    void setFocusToList() override;

    // The number of rows the list shows regardless of its height (tests).
    void setFixedRowCount(int rows) { m_fixedRows = rows; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableWidget* m_table;
    QScrollBar* m_bar;
    BrowseEngine* m_engine = nullptr;
    int m_fixedRows = 0;
    bool m_settingThumb = false;
};

} // namespace fundora::engine
