#include "engine/UpdateFormController.h"

#include "core/GlobalState.h"
#include "core/GuardedWrites.h"
#include "core/StandardWarning.h"
#include "platform/MessageService.h"

namespace fundora::engine {

using core::Response::Cancelled;
using core::Response::Completed;
namespace Button = platform::Button;

UpdateFormController::UpdateFormController(core::DataFiles& files, FormRecord& record) : m_files(files), m_record(record)
{
}

int UpdateFormController::navigation() const
{
    return core::glo().navigationCode;
}

UpdateFormController::Start UpdateFormController::start()
{
    core::GlobalState& g = core::glo();
    m_request = g.requestCode;
    m_working = m_request;
    m_response = Cancelled;
    g.requestCode = core::Request::None;
    g.responseCode = core::Response::None;
    m_record.takeSavedCopy();
    if (m_request == core::Request::Insert && !m_record.prime())
        return Start::Ended;
    if (m_request == core::Request::Delete) {
        confirmAndDelete();
        return Start::Ended;
    }
    return Start::OpenWindow;
}

void UpdateFormController::confirmAndDelete()
{
    if (core::standardWarning(m_files, core::Warning::ConfirmDelete) != Button::Ok)
        return;
    for (;;) {
        if (m_record.guardedDelete() == core::Guarded::Done) {
            m_response = Completed;
            return;
        }
        if (core::standardWarning(m_files, core::Warning::RecordDeleteRetry) != Button::Yes)
            return;
    }
}

UpdateFormController::Saved UpdateFormController::save(int navigation)
{
    core::glo().navigationCode = navigation;
    if (m_working == core::Request::Insert)
        return saveInsert();
    if (m_working == core::Request::Change)
        return saveChange(navigation);
    return Saved::Closed;
}

UpdateFormController::Saved UpdateFormController::saveInsert()
{
    const platform::FileError e = m_record.writeInsert();
    if (e.ok()) {
        m_response = Completed;
        return Saved::Closed;
    }
    m_files.savedError.save(e);
    if (e.code == platform::ErrorCode::DuplicateKey)
        core::standardWarning(m_files, core::Warning::DuplicateKeyError, m_record.duplicateKeyName());
    else
        core::standardWarning(m_files, core::Warning::RecordInsertError);
    core::glo().navigationCode = 0;
    return Saved::StayOpen;
}

UpdateFormController::Saved UpdateFormController::saveChange(int navigation)
{
    for (;;) {
        const bool changed = m_record.changedSinceCopy();
        const int result = changed ? m_record.guardedUpdate() : core::Guarded::Done;
        if (result == core::Guarded::Done) {
            if (changed || navigation == 0)
                m_response = Completed;
            return Saved::Closed;
        }
        if (result == core::Guarded::ChangedByOther) {
            m_record.takeSavedCopy(); // the buffer now holds the stored record
            core::glo().navigationCode = 0;
            return Saved::StayOpen;
        }
        const int answer = core::standardWarning(m_files, core::Warning::RecordUpdateRetry);
        if (answer == Button::Yes)
            continue;
        if (answer == Button::No) {
            m_response = Cancelled;
            return Saved::Closed;
        }
        core::glo().navigationCode = 0;
        return Saved::StayOpen;
    }
}

void UpdateFormController::cancel()
{
    m_response = Cancelled;
    core::glo().navigationCode = 0;
}

void UpdateFormController::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_request == core::Request::Insert && m_response != Completed)
        m_record.discardPrimed();
    core::glo().responseCode = m_response;
}

} // namespace fundora::engine
