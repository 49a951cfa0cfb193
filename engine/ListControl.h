#pragma once

#include "engine/BrowseRow.h"

#include <QString>

#include <vector>

namespace fundora::engine {

// What the list engine needs of a list on the screen. The widget adapter
// implements it on Qt; tests use a fake.
class ListControl {
public:
    virtual ~ListControl() = default;
    // How many rows the list shows now (the window may have been resized).
    virtual int visibleRows() const = 0;
    virtual void showRows(const std::vector<BrowseRow>& rows) = 0;
    // 1-based; 0 when nothing is selected.
    virtual int selectedRow() const = 0;
    virtual void setSelectedRow(int row) = 0;
    virtual void setScrollBarVisible(bool visible) = 0;
    // 0 to 100.
    virtual int thumb() const = 0;
    virtual void setThumb(int position) = 0;
    // Shows a popup menu ("&Insert|~&Change|-|&Select") and returns the chosen
    // item counting only real items, or 0.
    virtual int popupMenu(const QString& items) = 0;
    virtual void setFocusToList() {}
};

} // namespace fundora::engine
