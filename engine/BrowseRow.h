#pragma once

#include "platform/store/Record.h"

#include <QColor>
#include <QString>

#include <vector>

namespace fundora::engine {

// One column of a list: its heading, how its cells are aligned, and about
// how many characters wide it is.
struct BrowseColumn {
    QString header;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int widthChars = 10;
};

// What one cell shows. An invalid colour is the list's own.
struct BrowseCell {
    QString text;
    QColor foreground;
    QColor background;
};

// One row of a list's page: the record it came from, its position in the
// view, and the cells its columns show (made by the list window).
struct BrowseRow {
    platform::Record record;
    QString position;
    std::vector<BrowseCell> cells;
    QString text(std::size_t column) const { return column < cells.size() ? cells[column].text : QString(); }
};

} // namespace fundora::engine
