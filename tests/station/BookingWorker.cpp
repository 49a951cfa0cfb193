#include "tests/station/BookingWorker.h"

#include "engine/UpdateFormController.h"
#include "platform/MessageService.h"
#include "transactions/TransactionFormRecord.h"

#include <QElapsedTimer>

#include <cstdio>
#include <random>

namespace fundora::test {

using core::Navigation;
using core::Request;
using core::Response;
using platform::Decimal;

bool bookTransaction(core::DataFiles& files, std::int32_t sysId, const QString& type, const Decimal& amount)
{
    transactions::TransactionFormRecord record(files);
    engine::UpdateFormController form(files, record);
    // As the list primes a new transaction: the owner only.
    files.transactions.clear();
    files.transactions.record.sysId = sysId;
    if (form.start(Request::Insert) != engine::UpdateFormController::Start::OpenWindow)
        return false;
    record.working().transactionType = type;
    record.working().transactionAmount = amount;
    const bool saved = form.save(Navigation::None) == engine::UpdateFormController::Saved::Closed;
    form.finish();
    return saved && form.response() == Response::Completed;
}

int runBookingWorker(core::DataFiles& files, std::int32_t sysId, int seconds, unsigned seed)
{
    std::mt19937 random(seed);
    long inserts = 0, changes = 0, deletes = 0, refused = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        const unsigned choice = random() % 10;
        const Decimal amount = Decimal::fromUnits(static_cast<std::int64_t>(random() % 20000) + 1, 2);
        if (choice < 6) {
            const QString type = QString(QChar(u"CPIFAB"[random() % 6]));
            (bookTransaction(files, sysId, type, amount) ? inserts : refused) += 1;
            continue;
        }
        // A change or a delete of some transaction of the account, read as a list reads it.
        files.transactions.clear();
        files.transactions.record.sysId = sysId;
        files.transactions.setOnValue(core::TraSysIDKey);
        const int skip = static_cast<int>(random() % 20);
        bool found = false;
        for (int i = 0; i <= skip && files.transactions.next().ok() && files.transactions.record.sysId == sysId; ++i)
            found = true;
        if (!found)
            continue;
        transactions::TransactionFormRecord record(files);
        engine::UpdateFormController form(files, record);
        if (choice < 8) {
            if (form.start(Request::Change) != engine::UpdateFormController::Start::OpenWindow)
                continue;
            record.working().transactionAmount = amount;
            form.save(Navigation::None);
            form.finish();
            (form.response() == Response::Completed ? changes : refused) += 1;
        } else {
            // The user confirms the delete.
            if (auto* scripted = dynamic_cast<platform::ScriptedMessageService*>(&platform::MessageService::current()))
                scripted->answer(platform::Button::Ok);
            form.start(Request::Delete);
            form.finish();
            (form.response() == Response::Completed ? deletes : refused) += 1;
        }
    }
    std::printf("BOOKED %ld %ld %ld %ld\n", inserts, changes, deletes, refused);
    return 0;
}

} // namespace fundora::test
