#include "core/Autonumber.h"

#include "core/StandardWarning.h"
#include "platform/MessageService.h"

namespace fundora::core {

AutonumberResult autonumberAccount(DataFiles& files)
{
    auto& accounts = files.accounts;
    Account saved = accounts.record;
    saved.cardType = QStringLiteral("V");
    saved.billingDay = 10;
    saved.accountBalance = platform::Decimal::fromUnits(0, 2);
    saved.identity = {};

    for (;;) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            accounts.set(AccSysIDKey);
            std::int32_t next = 1;
            const platform::FileError e = accounts.previous();
            if (e.ok()) {
                next = accounts.record.sysId + 1;
            } else if (e.code != platform::ErrorCode::EndOfFile) {
                accounts.record = saved;
                standardWarning(files, Warning::RecordRetrievalError, accounts.def().label);
                return AutonumberResult::Failed;
            }
            accounts.record = saved;
            accounts.record.sysId = next;
            if (accounts.add().ok())
                return AutonumberResult::Added;
        }
        if (standardWarning(files, Warning::AutoIncrementError) != platform::Button::Retry) {
            accounts.record = saved;
            return AutonumberResult::Cancelled;
        }
    }
}

} // namespace fundora::core
