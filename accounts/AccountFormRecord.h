#pragma once

#include "core/DataFiles.h"
#include "engine/UpdateFormController.h"

namespace fundora::accounts {

// What the account form does with the Accounts buffer: autonumbering on insert,
// writing over the primed record together with the booking of its opening
// balance (one commit), the guarded change and delete.
class AccountFormRecord : public engine::FormRecord {
public:
    explicit AccountFormRecord(core::DataFiles& files) : m_files(files) {}

    void takeSavedCopy() override;
    bool changedSinceCopy() const override;
    bool prime() override;
    platform::FileError writeInsert() override;
    int guardedUpdate() override;
    int guardedDelete() override;
    void discardPrimed() override;
    QString duplicateKeyName() const override { return QStringLiteral("ACC:SysIDKey"); }

    // Books the opening balance of the account in the buffer as an open "B" transaction dated today.
    static platform::FileError bookOpeningBalance(core::DataFiles& files);

private:
    core::DataFiles& m_files;
    core::Account m_saved;
};

} // namespace fundora::accounts
