#pragma once

#include "engine/BrowseRow.h"
#include "engine/ListControl.h"

#include <QWidget>

class QLabel;
class QScrollBar;
class QTableView;

namespace fundora::engine {

class BrowseEngine;
class BrowseListModel;

// The list of a browse window: a table view over a model that never holds
// more than a page, and a scroll bar of its own whose thumb runs from 0 to
// 100. Keys, clicks and the scroll bar are handed to the engine.
class BrowseListView : public QWidget, public ListControl {
public:
    BrowseListView(std::vector<BrowseColumn> columns, QWidget* parent = nullptr);
    void setEngine(BrowseEngine* engine) { m_engine = engine; }
    QTableView* table() const { return m_table; }
    BrowseListModel* model() const { return m_model; }
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
    // What the list says, where its rows would be, while it has none
    // ("Press Insert to add your first card."); screen readers hear it as the list's description.
    void setEmptyText(const QString& text);
    QString shownEmptyText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key(const class QKeyEvent& key);

    void showEmptyText();

    QTableView* m_table;
    BrowseListModel* m_model;
    QLabel* m_empty = nullptr;
    QScrollBar* m_bar;
    BrowseEngine* m_engine = nullptr;
    int m_fixedRows = 0;
    bool m_quiet = false; // the engine itself moves the selection or the thumb
};

} // namespace fundora::engine
