#pragma once

#include "core/GlobalState.h"
#include "engine/BrowseRow.h"
#include "engine/FormCall.h"
#include "platform/store/Record.h"

#include <functional>
#include <vector>

namespace fundora::engine {

enum class ThumbStrategy { Stops, ThreePosition };
enum class ReloadMode { FromViewPosition, FromEnd, FromPage };
enum class SeekMode { OnPosition, OnValue };
enum class EditButton { Insert, Change, Delete, Select };

// A value outside the page (a field of the owning record, a total) whose
// change reloads the page from the top. Each sort order keeps a saved copy of
// it, which filters name as BRW1::Sort<n>:Reset:<name> (or `boundAs`).
struct ResetField {
    QString name;
    std::function<platform::FieldValue()> value;
    QString boundAs;
};

struct SortOrder {
    int key = 0;
    int locatorField = -1;   // the first key component after the range, -1 none
    int rangeComponents = 0; // leading key components fixed to the owner's values
    QString filter;          // applied while reading
    std::vector<ResetField> resets;
};

// What a browse adds to the engine: its rows' computed fields, its owner
// values, totals, and the update form it calls.
class BrowseHost {
public:
    virtual ~BrowseHost() = default;
    // Fills the row's column texts from the record in it.
    virtual void buildRow(BrowseRow& row) = 0;
    // A row was loaded into the buffer: put its computed fields back into the window's variables.
    virtual void rowLoaded(const BrowseRow&) {}
    // Sets the range fields of `r` to the owner's values.
    virtual void primeRange(platform::Record&) {}
    virtual void computeTotals() {}
    virtual int currentSortOrder() const { return 0; }
    // Calls the update form as `call` asks; `done(response, navigation)` runs when it ends.
    virtual void callUpdateForm(FormCall call, std::function<void(core::Response, core::Navigation)> done) = 0;
    virtual void setEditEnabled(bool changeAndDelete) = 0;
    // Acts as if the user pressed that button.
    virtual void pressButton(EditButton button) = 0;
    virtual bool hasSelectButton() const { return false; }
    // Before every refresh (the window loads what its reset fields follow), and after it.
    virtual void beforeRefresh() {}
    virtual void afterRefresh() {}
    // A read failed: the browse shows warning 35 and closes.
    virtual void readFailed() = 0;
    // Filter or view could not be set: warning 36; the browse goes on.
    virtual void viewFailed() {}
    // Runs `work` later, from the event loop (coalesced new selections, posted events).
    virtual void post(std::function<void()> work) = 0;
    // Long work begins (true) or ends (false): a window shows the busy cursor meanwhile.
    virtual void setBusy(bool) {}
};

// Tells the host that long work runs, for as long as it lives.
class BusyWhile {
public:
    explicit BusyWhile(BrowseHost& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyWhile() { m_host.setBusy(false); }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    BrowseHost& m_host;
};

} // namespace fundora::engine
