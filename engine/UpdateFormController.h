#pragma once

#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/GuardedWrites.h"

#include <QString>

namespace fundora::engine {

// What one form does with its record. A form edits a copy of its own, never
// the shared record buffer, so that no other window can change what it shows
// or saves: the copy is loaded from the buffer when the form starts and
// stored into it right before each write.
class FormRecord {
public:
    virtual ~FormRecord() = default;
    // The shared buffer into the form's copy, and back.
    virtual void load() = 0;
    virtual void store() = 0;
    // Keeps a copy of the form's record, to tell later whether the user changed anything.
    virtual void takeSavedCopy() = 0;
    virtual bool changedSinceCopy() const = 0;
    // Insert defaults (and for accounts the autonumbered add, on the buffer);
    // false ends the insert as cancelled.
    virtual bool prime() { return true; }
    // Asked before an insert or a change is written, with what the user typed
    // in the form's copy (which it may put into its stored form, a sign say):
    // false keeps the form open with that, to be changed or cancelled.
    virtual bool confirmSave(core::Request) { return true; }
    // Writes a new record from the buffer (adds it, or writes over the primed one).
    virtual platform::FileError writeInsert() = 0;
    virtual core::Guarded guardedUpdate() = 0;
    virtual core::Guarded guardedDelete() = 0;
    // The form is about to show its window for an insert or a change, after
    // the copy for change detection was taken: what it sets here counts as
    // a change (the memo card's date of today).
    virtual void opening(core::Request) {}
    // A cancelled insert: undo what priming added.
    virtual void discardPrimed() {}
    // The unique key a duplicate insert names in warning 24.
    virtual QString duplicateKeyName() const = 0;
};

// The form's own copy of a record of file `R`, and the copy it was opened with.
template <class R>
class BufferedRecord : public FormRecord {
public:
    explicit BufferedRecord(core::TypedFile<R>& file) : m_file(file) {}
    R& working() { return m_working; }
    const R& working() const { return m_working; }
    const R& opened() const { return m_saved; }

    void load() override { m_working = m_file.record; }
    void store() override { m_file.record = m_working; }
    void takeSavedCopy() override { m_saved = m_working; }
    bool changedSinceCopy() const override
    {
        return m_file.layout().toRecord(m_working).values != m_file.layout().toRecord(m_saved).values;
    }

protected:
    core::TypedFile<R>& file() { return m_file; }

private:
    core::TypedFile<R>& m_file;
    R m_working;
    R m_saved;
};

// The life cycle of an update form: the request it was called with, priming,
// the delete confirmed without a window, saving with its warnings and
// retries, and the response and navigation code it hands back.
class UpdateFormController {
public:
    UpdateFormController(core::DataFiles& files, FormRecord& record);

    enum class Start { OpenWindow, Ended };
    // The opening steps that need no window.
    Start start(core::Request request);

    enum class Saved { Closed, StayOpen };
    // Saves after OK's sweep passed (Navigation::None) or for a toolbar command.
    Saved save(core::Navigation navigation);
    void cancel();
    // The closing step: undoes a primed insert that did not complete.
    void finish();

    core::Request request() const { return m_request; }
    core::Request workingRequest() const { return m_working; }
    void setWorkingRequest(core::Request r) { m_working = r; }
    core::Response response() const { return m_response; }
    core::Navigation navigation() const { return m_navigation; }
    // Whether the form's record differs from what it was opened with.
    bool changed() const { return m_record.changedSinceCopy(); }

private:
    Saved saveInsert();
    Saved saveChange();
    void confirmAndDelete();

    core::DataFiles& m_files;
    FormRecord& m_record;
    core::Request m_request = core::Request::None;
    core::Request m_working = core::Request::None;
    core::Response m_response = core::Response::Cancelled;
    core::Navigation m_navigation = core::Navigation::None;
    bool m_finished = false;
};

} // namespace fundora::engine
