#pragma once

#include "core/DataFiles.h"
#include "engine/UpdateFormController.h"

namespace fundora::accounts {

// What the account form does with the Accounts buffer: autonumbering on insert,
// writing over the primed record, the guarded change and delete, and the
// booking of the opening balance when a new account is complete.
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
    void insertCompleted() override;
    QString duplicateKeyName() const override { return QStringLiteral("ACC:SysIDKey"); }

    // Books the opening balance of the account in the buffer as an open "B" transaction dated today.
    static platform::FileError bookOpeningBalance(core::DataFiles& files);

private:
    core::DataFiles& m_files;
    core::Account m_saved;
};

} // namespace fundora::accounts
