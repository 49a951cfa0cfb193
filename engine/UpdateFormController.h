#pragma once

#include "core/DataFiles.h"

#include <QString>

namespace fundora::engine {

// What one form does with its record; the controller runs the life cycle
// common to every form around it.
class FormRecord {
public:
    virtual ~FormRecord() = default;
    // Keeps a copy of the buffer, to tell later whether the user changed anything.
    virtual void takeSavedCopy() = 0;
    virtual bool changedSinceCopy() const = 0;
    // Insert defaults (and for accounts the autonumbered add); false ends the insert as cancelled.
    virtual bool prime() { return true; }
    // Writes a new record (adds it, or writes over the primed one).
    virtual platform::FileError writeInsert() = 0;
    virtual int guardedUpdate() = 0;
    virtual int guardedDelete() = 0;
    // A cancelled insert: undo what priming added.
    virtual void discardPrimed() {}
    // The unique key a duplicate insert names in warning 24.
    virtual QString duplicateKeyName() const = 0;
};

// The life cycle of an update form: the request it was called with, priming,
// the delete confirmed without a window, saving with its warnings and retries,
// and what it hands back (GLO:ResponseCode, GLO:NavigationCode).
class UpdateFormController {
public:
    UpdateFormController(core::DataFiles& files, FormRecord& record);

    enum class Start { OpenWindow, Ended };
    // Takes GLO:RequestCode and runs the opening steps that need no window.
    Start start();

    enum class Saved { Closed, StayOpen };
    // Saves after OK's sweep passed (navigation 0) or for a toolbar command.
    Saved save(int navigation);
    void cancel();
    // The closing step: undoes a primed insert that did not complete, hands back the response.
    void finish();

    int request() const { return m_request; }
    int workingRequest() const { return m_working; }
    void setWorkingRequest(int r) { m_working = r; }
    int response() const { return m_response; }
    int navigation() const;

private:
    Saved saveInsert();
    Saved saveChange(int navigation);
    void confirmAndDelete();

    core::DataFiles& m_files;
    FormRecord& m_record;
    int m_request = 0;
    int m_working = 0;
    int m_response = 2;
    bool m_finished = false;
};

} // namespace fundora::engine
