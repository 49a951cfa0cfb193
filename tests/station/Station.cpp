// A second station for tests: another process working on the same register.
// Usage: fundora_test_station COMMAND DIR [ARGS...], where DIR is the program
// directory or "server:SCHEMA" (tests/support/RegisterArgument.h).
//   hold DIR READYFILE                   hold a transaction on the files until standard input closes
//   change-account DIR SYSID VENDOR      change an account's vendor
//   change-memo DIR TOPIC NEWTOPIC       change a memo card's topic
//   delete-account DIR SYSID READYFILE   delete an account and its transactions
//   create DIR                           create the missing data files
//   book DIR SYSID SECONDS SEED          book, change and delete transactions of an account
//   charge DIR SYSID AMOUNT              book one charge through the transaction form's logic
//   finish-statement DIR SYSID ENDING    reconcile every open transaction of an account in one statement
//   undo-statement DIR SYSID             undo the account's latest statement
// FUNDORA_KILL_AT (see KillSwitch) ends the station at a file-system step of
// the command; a station that ran to its end prints "steps N" on standard output.
//   stress DIR SECONDS SEED LOGFILE      random changes and deletes (see StressWorker)
#include "core/DataFiles.h"
#include "core/GuardedWrites.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/Runtime.h"
#include "statements/StatementBook.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"
#include "tests/station/BookingWorker.h"
#include "tests/station/KillSwitch.h"
#include "tests/station/StressWorker.h"
#include "tests/support/RegisterArgument.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace fundora;
using namespace fundora::core;

namespace {

void touch(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

bool readAccount(DataFiles& files, std::int32_t sysId)
{
    files.accounts.clear();
    files.accounts.record.sysId = sysId;
    return files.accounts.get(AccSysIDKey).ok();
}

int run(const QStringList& args)
{
    if (args.size() < 3)
        return 64;
    const QString command = args[1];
    DataFiles files(test::registerFromArgument(args[2]));
    test::KillSwitch::watch(files.store);
    if (command == QStringLiteral("create")) {
        test::KillSwitch::arm();
        for (FileId id : allFiles())
            if (!acquireFile(files, id))
                return 3;
        return 0;
    }
    if (!acquireFile(files, FileId::Accounts) || !acquireFile(files, FileId::Transactions) || !acquireFile(files, FileId::MemoCard))
        return 3;

    if (command == QStringLiteral("hold") && args.size() == 4) {
        if (!files.store.begin().ok())
            return 4;
        // On a server a transaction holds only what it wrote or locked: this one locks every record,
        // as one in the middle of writing them all would.
        if (files.store.dialect() == platform::schema::Dialect::Postgres) {
            for (FileId id : {FileId::Accounts, FileId::Transactions, FileId::MemoCard}) {
                platform::StoreStatement* lock = files.store.cached(
                    QStringLiteral("SELECT 1 FROM %1 FOR UPDATE")
                        .arg(platform::schema::qualifiedTable(files.file(id).def(), files.store.schemaOf(files.file(id).def()))));
                while (lock && lock->step() == platform::StoreStatement::Row) {
                }
                if (lock)
                    lock->reset();
            }
        }
        touch(args[3]);
        // Held until the test lets go (closes our standard input) or ends us.
        while (std::getchar() != EOF) {
        }
        files.store.rollback();
        return 0;
    }
    if (command == QStringLiteral("change-account") && args.size() == 5) {
        if (!readAccount(files, args[3].toInt()))
            return 5;
        files.integrity.snapSysId = files.accounts.record.sysId;
        files.accounts.record.creditCardVendor = args[4];
        return static_cast<int>(riUpdateAccounts(files, false));
    }
    if (command == QStringLiteral("change-memo") && args.size() == 5) {
        files.memoCards.set(MemCardKey);
        while (files.memoCards.next().ok()) {
            if (files.memoCards.record.topic == args[3]) {
                files.memoCards.record.topic = args[4];
                return static_cast<int>(riUpdateMemoCard(files, true));
            }
        }
        return 5;
    }
    if (command == QStringLiteral("delete-account") && args.size() == 5) {
        if (!readAccount(files, args[3].toInt()))
            return 5;
        touch(args[4]);
        test::KillSwitch::arm();
        return static_cast<int>(riDeleteAccounts(files));
    }
    if (command == QStringLiteral("book") && args.size() == 6)
        return test::runBookingWorker(files, args[3].toInt(), args[4].toInt(), args[5].toUInt());
    if (command == QStringLiteral("charge") && args.size() == 5) {
        test::KillSwitch::arm();
        return test::bookTransaction(files, args[3].toInt(), QStringLiteral("C"), *platform::Decimal::parse(args[4])) ? 0 : 6;
    }
    if (command == QStringLiteral("finish-statement") && args.size() == 5) {
        if (!acquireFile(files, statements::statementsFile()) || !acquireFile(files, statements::statementLinesFile()))
            return 3;
        statements::StatementSession session(files, args[3].toInt());
        if (!session.open(platform::Clock::current().today()).ok())
            return 5;
        session.setClosingDate(platform::dayNumberOf(2099, 12, 31));
        session.tickAllUpTo(session.closingDate());
        session.setEndingBalance(*platform::Decimal::parse(args[4]));
        test::KillSwitch::arm();
        return session.finish(true) == statements::StatementSession::Result::Done ? 0 : 7;
    }
    if (command == QStringLiteral("undo-statement") && args.size() == 4) {
        if (!acquireFile(files, statements::statementsFile()) || !acquireFile(files, statements::statementLinesFile()))
            return 3;
        test::KillSwitch::arm();
        statements::Undone undone;
        return statements::undoLatestStatement(files, args[3].toInt(), 0, undone).ok() ? 0 : 8;
    }
    if (command == QStringLiteral("stress") && args.size() == 6)
        return test::runStressWorker(files, args[3].toInt(), args[4].toUInt(), args[5]);
    return 64;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Nobody answers a second station's messages: every box takes its default button.
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    platform::Runtime::setHaltHandler([](const QString& text) {
        std::fprintf(stderr, "halted: %s\n", qPrintable(text));
        std::_Exit(70);
    });
    test::KillSwitch::install();
    const int result = run(QCoreApplication::arguments());
    std::printf("steps %d\n", test::KillSwitch::stepsSeen());
    return result;
}
