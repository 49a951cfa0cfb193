#pragma once

#include "core/DataFiles.h"
#include "engine/UpdateFormController.h"

namespace fundora::accounts {

// What the account form does with its account: autonumbering on insert,
// writing over the primed record together with the booking of its opening
// balance (one commit), the guarded change and delete.
class AccountFormRecord : public engine::BufferedRecord<core::Account> {
public:
    explicit AccountFormRecord(core::DataFiles& files) : BufferedRecord(files.accounts), m_files(files) {}

    void takeSavedCopy() override;
    bool prime() override;
    platform::FileError writeInsert() override;
    core::Guarded guardedUpdate() override;
    core::Guarded guardedDelete() override;
    void discardPrimed() override;
    QString duplicateKeyName() const override { return QStringLiteral("ACC:SysIDKey"); }

    // Books the opening balance of the account in the buffer as an open "B" transaction dated today.
    static platform::FileError bookOpeningBalance(core::DataFiles& files);

private:
    core::DataFiles& m_files;
};

} // namespace fundora::accounts
