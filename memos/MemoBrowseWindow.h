#pragma once

#include "engine/BrowseWindow.h"
#include "memos/MemoOwner.h"

namespace fundora::memos {

// MemoBrowse: the memo cards of one owner, by their third id and date. The
// owner is taken from the memo card buffer, where the call put it
// (primeMemoOwner). Started with the select request, its Select button (and a
// double click) hands the highlighted card back; otherwise Select is hidden.
class MemoBrowseWindow : public engine::BrowseWindow {
public:
    explicit MemoBrowseWindow(core::DataFiles& files, core::Request startRequest = core::Request::None, QWidget* parent = nullptr);
    ~MemoBrowseWindow() override;

    const MemoOwner& owner() const { return m_owner; }

protected:
    engine::FormWindow* createForm(const engine::FormCall& call) override;
    void buildRow(engine::BrowseRow& row) override;
    void primeRange(platform::Record& r) override;
    void computeTotals() override {}
    void showEvent(QShowEvent* event) override;

private:
    static engine::BrowseDefinition definitionFor(const MemoOwner& owner);

    engine::TypedBuffer<core::MemoCard> m_buffer;
    MemoOwner m_owner;
};

} // namespace fundora::memos
