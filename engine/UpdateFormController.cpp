#include "engine/UpdateFormController.h"

#include "core/StandardWarning.h"
#include "platform/MessageService.h"

namespace fundora::engine {

using core::Guarded;
using core::Navigation;
using core::Request;
using core::Response;
namespace Button = platform::Button;

UpdateFormController::UpdateFormController(core::DataFiles& files, FormRecord& record) : m_files(files), m_record(record)
{
}

UpdateFormController::Start UpdateFormController::start(Request request)
{
    m_request = request;
    m_working = request;
    m_response = Response::Cancelled;
    m_navigation = Navigation::None;
    m_record.load();
    m_record.takeSavedCopy();
    if (m_request == Request::Insert) {
        if (!m_record.prime())
            return Start::Ended;
        m_record.load();
        m_record.takeSavedCopy();
    }
    if (m_request == Request::Delete) {
        confirmAndDelete();
        return Start::Ended;
    }
    m_record.opening(m_request);
    return Start::OpenWindow;
}

void UpdateFormController::confirmAndDelete()
{
    if (core::standardWarning(m_files, core::Warning::ConfirmDelete) != Button::Ok)
        return;
    for (;;) {
        m_record.store();
        const Guarded result = m_record.guardedDelete();
        if (result == Guarded::Done) {
            m_response = Response::Completed;
            return;
        }
        if (result == Guarded::Refused)
            return;
        if (core::standardWarning(m_files, core::Warning::RecordDeleteRetry) != Button::Yes)
            return;
    }
}

UpdateFormController::Saved UpdateFormController::save(Navigation navigation)
{
    m_navigation = navigation;
    const bool writes = m_working == Request::Insert || (m_working == Request::Change && m_record.changedSinceCopy());
    if (writes && !m_record.confirmSave(m_working)) {
        m_navigation = Navigation::None;
        return Saved::StayOpen;
    }
    if (m_working == Request::Insert)
        return saveInsert();
    if (m_working == Request::Change)
        return saveChange();
    return Saved::Closed;
}

UpdateFormController::Saved UpdateFormController::saveInsert()
{
    m_record.store();
    const platform::FileError e = m_record.writeInsert();
    if (e.ok()) {
        m_record.load(); // with its place in the file
        m_response = Response::Completed;
        return Saved::Closed;
    }
    m_files.savedError.save(e);
    if (e.code == platform::ErrorCode::DuplicateKey)
        core::standardWarning(m_files, core::Warning::DuplicateKeyError, m_record.duplicateKeyName());
    else
        core::standardWarning(m_files, core::Warning::RecordInsertError);
    m_navigation = Navigation::None;
    return Saved::StayOpen;
}

UpdateFormController::Saved UpdateFormController::saveChange()
{
    for (;;) {
        const bool changed = m_record.changedSinceCopy();
        // The buffer holds the form's record for the list to find it, written or not.
        m_record.store();
        const Guarded result = changed ? m_record.guardedUpdate() : Guarded::Done;
        if (result == Guarded::Done) {
            if (changed || m_navigation == Navigation::None)
                m_response = Response::Completed;
            m_record.load();
            return Saved::Closed;
        }
        if (result == Guarded::ChangedByOther) {
            // The buffer now holds the stored record: the form shows it.
            m_record.load();
            m_record.takeSavedCopy();
            m_navigation = Navigation::None;
            return Saved::StayOpen;
        }
        if (result == Guarded::Refused) {
            // The user keeps the form, with what was typed, to change it or cancel.
            m_navigation = Navigation::None;
            return Saved::StayOpen;
        }
        // A failed write keeps what the user typed (the form's copy).
        const int answer = core::standardWarning(m_files, core::Warning::RecordUpdateRetry);
        if (answer == Button::Yes)
            continue;
        if (answer == Button::No) {
            m_response = Response::Cancelled;
            return Saved::Closed;
        }
        m_navigation = Navigation::None;
        return Saved::StayOpen;
    }
}

void UpdateFormController::cancel()
{
    m_response = Response::Cancelled;
    m_navigation = Navigation::None;
}

void UpdateFormController::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_request == Request::Insert && m_response != Response::Completed)
        m_record.discardPrimed();
}

} // namespace fundora::engine
