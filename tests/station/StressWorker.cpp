#include "tests/station/StressWorker.h"

#include "platform/MessageService.h"

#include "core/FileTransaction.h"
#include "core/GuardedWrites.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <random>

namespace fundora::test {

using namespace core;

bool addStressAccount(DataFiles& files, std::int32_t sysId)
{
    FileTransaction tx(files.store);
    if (!tx.begun())
        return false;
    files.accounts.clear();
    files.accounts.record.sysId = sysId;
    files.accounts.record.creditCardVendor = QStringLiteral("Vendor %1").arg(sysId);
    if (!files.accounts.add().ok())
        return false;
    for (int i = 0; i < 3; ++i) {
        files.transactions.clear();
        files.transactions.record.sysId = sysId;
        files.transactions.record.dateofTransaction = 82000 + i;
        files.transactions.record.transactionType = QStringLiteral("C");
        files.transactions.record.transactionAmount = platform::Decimal::fromUnits(100 * (i + 1), 2);
        if (!files.transactions.add().ok())
            return false;
    }
    return tx.commit().ok();
}

int runStressWorker(DataFiles& files, int seconds, unsigned seed, const QString& logPath)
{
    std::mt19937 random(seed);
    QFile log(logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text))
        return 6;
    QTextStream out(&log);
    long writes = 0, conflicts = 0, failures = 0, deletes = 0, inserts = 0;
    int counter = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        const std::int32_t id = static_cast<std::int32_t>(random() % StressAccounts + 1);
        files.accounts.clear();
        files.accounts.record.sysId = id;
        if (!files.accounts.get(AccSysIDKey).ok()) {
            if (addStressAccount(files, id))
                ++inserts;
            continue;
        }
        const unsigned choice = random() % 100;
        // A pause between reading and writing gives the other station time to interfere.
        QThread::usleep(random() % 2000);
        Guarded result = Guarded::Done;
        QString file;
        platform::RecordIdentity written;
        if (choice < 70) {
            files.integrity.snapSysId = id;
            files.accounts.record.creditCardVendor = QStringLiteral("S%1-%2").arg(seed).arg(++counter);
            result = riUpdateAccounts(files, false);
            file = QStringLiteral("A");
            written = files.accounts.record.identity;
        } else if (choice < 80) {
            result = riDeleteAccounts(files);
            if (result == Guarded::Done)
                ++deletes;
        } else {
            files.transactions.clear();
            files.transactions.record.sysId = id;
            files.transactions.setOnValue(TraSysIDKey);
            if (!files.transactions.next().ok() || files.transactions.record.sysId != id)
                continue;
            QThread::usleep(random() % 2000);
            files.transactions.record.transactionDescription = QStringLiteral("S%1-%2").arg(seed).arg(++counter);
            result = riUpdateTransactions(files, false);
            file = QStringLiteral("T");
            written = files.transactions.record.identity;
        }
        if (result == Guarded::ChangedByOther)
            ++conflicts;
        else if (result == Guarded::Failed) {
            ++failures;
            // What the station was told, for whoever reads the log.
            if (const auto* shown = dynamic_cast<const platform::ScriptedMessageService*>(&platform::MessageService::current());
                shown && !shown->shown().empty())
                out << "F " << shown->shown().back().text << '\n';
        } else if (!file.isEmpty()) {
            ++writes;
            out << "W " << file << ' ' << written.row << ' ' << written.version << '\n';
        }
    }
    out << "SUMMARY " << writes << ' ' << conflicts << ' ' << failures << ' ' << deletes << ' ' << inserts << '\n';
    return 0;
}

} // namespace fundora::test
