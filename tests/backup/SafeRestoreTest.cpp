// Backups of real data files taken while they are being written, or right after
// a writer crashed, and restores that must never put damage in place.
#include "backup/ContainerRecord.h"
#include "backup/FileListing.h"
#include "backup/Leftovers.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "platform/ipc/DdeLink.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/Station.h"

#include <QDirIterator>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::Station;
using test::writeAll;
namespace Button = platform::Button;

namespace {

class SafeRestoreTest : public test::BackupTest {
protected:
    static QString integrity(const QString& path)
    {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return QStringLiteral("cannot open");
        sqlite3_stmt* st = nullptr;
        QString result = QStringLiteral("no answer");
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        else
            result = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return result;
    }
    // Per account: whether it is there and how many transactions it has; transactions without their account count as -1.
    std::map<int, int> shape(const QString& directory)
    {
        std::map<int, int> out;
        core::DataFiles files(directory);
        EXPECT_TRUE(core::acquireFile(files, core::FileId::Accounts));
        EXPECT_TRUE(core::acquireFile(files, core::FileId::Transactions));
        files.accounts.set(core::AccSysIDKey);
        while (files.accounts.next().ok())
            out[files.accounts.record.sysId] = 0;
        files.transactions.set(core::TraSysIDKey);
        while (files.transactions.next().ok()) {
            auto it = out.find(files.transactions.record.sysId);
            if (it == out.end())
                out[-files.transactions.record.sysId] = -1; // an orphan
            else
                ++it->second;
        }
        return out;
    }
    BackupRun::Result backup(bool compress)
    {
        auto config = startedConfig();
        Compressor compressor(program);
        test::NoDisks ui;
        BackupRun run(*config, compressor, ui);
        BackupTarget t;
        t.location = target;
        t.shownLocation = target;
        t.pathSet = true;
        const BackupRun::Result r = run.run(listDataFiles(program, compress), t);
        lastStop = run.stopReason();
        return r;
    }
    RestoreRun::State restore()
    {
        auto config = startedConfig();
        Compressor compressor(program);
        test::DirectoryRestore ui;
        RestoreRun run(*config, compressor, ui);
        run.start(target);
        const RestoreRun::State s = run.runToEnd();
        lastStop = run.stopReason();
        return s;
    }
    RestoreRun::State restoreFrom(const QByteArray& container)
    {
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        writeAll(target + QStringLiteral("1.BKP"), container);
        return restore();
    }
    QByteArray header(const QByteArray& name, std::int32_t size, bool compressed = false, const QByteArray& path = {})
    {
        ContainerHeader h;
        h.fileName = name;
        h.fileSize = size;
        h.diskNumber = 1;
        h.compressed = compressed;
        h.path = path.isEmpty() ? name : path;
        h.compressionType = 1;
        h.version = FormatVersion;
        return h.encode();
    }
    QByteArray end()
    {
        ContainerHeader h;
        h.kind = RecordKind::End;
        h.version = FormatVersion;
        return h.encode();
    }
    // The data of `name` compressed as the backup would store it, padded to whole blocks.
    QByteArray packed(const QString& name, const QByteArray& data, std::int32_t* size)
    {
        const QString scratch = path(QStringLiteral("scratch"));
        QDir().mkpath(scratch);
        QFile::copy(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")), QDir(scratch).filePath(QStringLiteral("PKLAUNCH.PIF")));
        QFile::setPermissions(QDir(scratch).filePath(QStringLiteral("PKLAUNCH.PIF")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        writeAll(QDir(scratch).filePath(name), data);
        Compressor compressor(scratch);
        EXPECT_TRUE(compressor.compress(QDir(scratch).filePath(name)));
        QByteArray bytes = readAll(QDir(scratch).filePath(QFileInfo(name).completeBaseName().toUpper() + QStringLiteral(".BKX")));
        QDir(scratch).removeRecursively();
        *size = static_cast<std::int32_t>(bytes.size());
        bytes.append(QByteArray((RecordSize - bytes.size() % RecordSize) % RecordSize, '\0'));
        return bytes;
    }
    QStringList leftovers() const
    {
        QStringList found;
        QDirIterator it(program, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            const QString upper = name.toUpper();
            if (upper.endsWith(QStringLiteral(".BKX")) || upper.endsWith(QStringLiteral(".BKY")) ||
                upper.endsWith(QStringLiteral(".PART")) || name.startsWith(QStringLiteral(".vaultine")) ||
                name.startsWith(QStringLiteral(".pklaunch")))
                found << name;
        }
        return found;
    }
    QString programPath(const char* name) const { return QDir(program).filePath(QString::fromLatin1(name)); }

    QString lastStop;
};

TEST_F(SafeRestoreTest, ABackupRightAfterAWriterCrashedHoldsWholeTransactionsOnly)
{
    book(1, 3, 80);
    const auto before = shape(program);
    // A delete of account 2 killed while it writes the data files: their journals are hot.
    const QStringList command{QStringLiteral("delete-account"), program, QStringLiteral("2"), path(QStringLiteral("ready"))};
    const QString backupCopy = path(QStringLiteral("whole"));
    QDir().mkpath(backupCopy);
    for (const QString& n : QDir(program).entryList({QStringLiteral("*.TPS")}, QDir::Files))
        QFile::copy(QDir(program).filePath(n), QDir(backupCopy).filePath(n));
    const int steps = Station::runKilledAt(command, QStringLiteral("write:100000")).steps;
    ASSERT_GT(steps, 4);
    // Put the files back and kill the delete at its last writes, inside the data files.
    for (const QString& n : QDir(backupCopy).entryList({QStringLiteral("*.TPS")}, QDir::Files)) {
        QFile::remove(QDir(program).filePath(n));
        QFile::copy(QDir(backupCopy).filePath(n), QDir(program).filePath(n));
    }
    ASSERT_TRUE(Station::runKilledAt(command, QStringLiteral("write:%1").arg(steps - 1)).killed);
    ASSERT_TRUE(QFile::exists(programPath("TRANSACT.TPS-journal")) || QFile::exists(programPath("ACCOUNTS.TPS-journal")))
        << "the writer died in the middle of its commit";

    ASSERT_EQ(backup(false), BackupRun::Result::Completed) << lastStop;
    for (const char* n : {"ACCOUNTS.TPS", "TRANSACT.TPS"})
        writeAll(programPath(n), "lost");
    for (const char* n : {"ACCOUNTS.TPS-journal", "TRANSACT.TPS-journal"})
        QFile::remove(programPath(n));
    ASSERT_EQ(restore(), RestoreRun::State::Complete) << lastStop;
    EXPECT_EQ(integrity(programPath("TRANSACT.TPS")), QStringLiteral("ok"));
    EXPECT_EQ(integrity(programPath("ACCOUNTS.TPS")), QStringLiteral("ok"));
    EXPECT_EQ(shape(program), before) << "the interrupted delete is undone: account 2 with all its transactions";
}

TEST_F(SafeRestoreTest, ABackupWhileAnotherStationWritesIsConsistent)
{
    book(1, 20, 20);
    const QString log = path(QStringLiteral("stress.log"));
    auto writer = Station::start({QStringLiteral("stress"), program, QStringLiteral("3"), QStringLiteral("5"), log});
    ASSERT_TRUE(Station::waitForFile(log)) << "the writer started";
    ASSERT_EQ(backup(true), BackupRun::Result::Completed) << lastStop;
    ASSERT_TRUE(writer->waitForFinished(60000));
    EXPECT_EQ(writer->exitCode(), 0);

    for (const char* n : {"ACCOUNTS.TPS", "TRANSACT.TPS", "MEMOCARD.TPS"})
        writeAll(programPath(n), "overwritten");
    ASSERT_EQ(restore(), RestoreRun::State::Complete) << lastStop;
    EXPECT_EQ(integrity(programPath("TRANSACT.TPS")), QStringLiteral("ok"));
    EXPECT_EQ(integrity(programPath("ACCOUNTS.TPS")), QStringLiteral("ok"));
    for (const auto& [account, transactions] : shape(program))
        EXPECT_GE(transactions, 0) << "transactions of account " << -account << " without their account";
}

TEST_F(SafeRestoreTest, ARestoreRemovesTheJournalOfTheFileItReplaces)
{
    book(1, 2, 50);
    const auto saved = shape(program);
    ASSERT_EQ(backup(false), BackupRun::Result::Completed) << lastStop;
    // Later a writer dies mid-commit on the current files.
    const QStringList command{QStringLiteral("delete-account"), program, QStringLiteral("1"), path(QStringLiteral("ready"))};
    const int steps = Station::runKilledAt(command, QStringLiteral("write:100000")).steps;
    QFile::remove(programPath("ACCOUNTS.TPS"));
    QFile::remove(programPath("TRANSACT.TPS"));
    book(1, 2, 50);
    ASSERT_TRUE(Station::runKilledAt(command, QStringLiteral("write:%1").arg(steps - 1)).killed);
    ASSERT_TRUE(QFile::exists(programPath("TRANSACT.TPS-journal")));

    ASSERT_EQ(restore(), RestoreRun::State::Complete) << lastStop;
    EXPECT_FALSE(QFile::exists(programPath("TRANSACT.TPS-journal")));
    EXPECT_FALSE(QFile::exists(programPath("ACCOUNTS.TPS-journal")));
    EXPECT_EQ(integrity(programPath("TRANSACT.TPS")), QStringLiteral("ok"));
    EXPECT_EQ(shape(program), saved);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(programPath("TRANSACT.TPS")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SafeRestoreTest, OnlyDataFilesAreRestoredNeverTheUtilitysOwn)
{
    const QByteArray launcher = readAll(programPath("PKLAUNCH.PIF"));
    std::int32_t size = 0;
    const QByteArray evil = packed(QStringLiteral("PKLAUNCH.PIF"), "#!/bin/sh\necho owned > /tmp/owned\n", &size);
    EXPECT_EQ(restoreFrom(header("PKLAUNCH.PIF", size, true) + evil + end()), RestoreRun::State::Stopped);
    EXPECT_EQ(readAll(programPath("PKLAUNCH.PIF")), launcher);
    for (const char* name : {"STOWEL.INI", "vaultine.INI", "fundora.INI", "ACCOUNTS.TPS.sh", ".TPS"}) {
        writeAll(programPath("fundora.INI"), "[Main]\n");
        EXPECT_EQ(restoreFrom(header(name, 10) + QByteArray(1024, 'x') + end()), RestoreRun::State::Stopped) << name;
        EXPECT_FALSE(QFile::exists(programPath(name)) && QString::fromLatin1(name) != QStringLiteral("fundora.INI")) << name;
        EXPECT_EQ(readAll(programPath("fundora.INI")), QByteArray("[Main]\n")) << name;
    }
    EXPECT_TRUE(lastStop.contains(QStringLiteral("only data files (*.TPS) are restored"))) << lastStop;
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ');
}

TEST_F(SafeRestoreTest, ADamagedFileInTheSetReplacesNothing)
{
    book(1, 2, 30);
    const auto saved = shape(program);
    const QByteArray accounts = readAll(programPath("ACCOUNTS.TPS"));
    const QByteArray transactions = readAll(programPath("TRANSACT.TPS"));
    ASSERT_EQ(backup(false), BackupRun::Result::Completed) << lastStop;
    QByteArray set = readAll(target + QStringLiteral("1.BKP"));
    // TRANSACT.TPS comes after ACCOUNTS.TPS: a flipped byte in its first page breaks it.
    const qsizetype at = set.indexOf("MKHDRTRANSACT.TPS");
    ASSERT_GT(at, 0);
    set[at + RecordSize + 20] = '\x77';
    set[at + RecordSize + 100] = '\x77';
    writeAll(target + QStringLiteral("1.BKP"), set);
    EXPECT_EQ(restore(), RestoreRun::State::Stopped);
    EXPECT_TRUE(lastStop.startsWith(QStringLiteral("TRANSACT.TPS in the backup set is damaged"))) << lastStop;
    EXPECT_EQ(readAll(programPath("ACCOUNTS.TPS")), accounts) << "the good file before it is not put in place either";
    EXPECT_EQ(readAll(programPath("TRANSACT.TPS")), transactions);
    EXPECT_EQ(shape(program), saved);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ');
}

TEST_F(SafeRestoreTest, ACompressedEntryRenamedInTheContainerLosesNothing)
{
    book(1, 1, 10);
    const QByteArray transactions = readAll(programPath("TRANSACT.TPS"));
    std::int32_t size = 0;
    const QByteArray data = packed(QStringLiteral("TRANSACT.TPS"), QByteArray(9000, 'z'), &size);
    // The name was changed in the header; the compressed data still holds TRANSACT.TPS.
    EXPECT_EQ(restoreFrom(header("TRANSACX.TPS", size, true, "TRANSACT.TPS") + data + end()), RestoreRun::State::Complete);
    EXPECT_EQ(readAll(programPath("TRANSACT.TPS")), transactions) << "the data file it was compressed from is untouched";
    EXPECT_EQ(readAll(programPath("TRANSACX.TPS")), QByteArray(9000, 'z'));
    // A changed compression flag: the stored bytes are not an archive.
    EXPECT_EQ(restoreFrom(header("TRANSACT.TPS", 9000, true) + QByteArray(9 * 1024, 'q') + end()), RestoreRun::State::Stopped);
    EXPECT_EQ(readAll(programPath("TRANSACT.TPS")), transactions);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ');
}

TEST_F(SafeRestoreTest, AnExpansionCannotGrowBeyondItsLimit)
{
    // 4 MB of zeros compress to almost nothing.
    std::int32_t size = 0;
    const QByteArray bomb = packed(QStringLiteral("BIG.TPS"), QByteArray(4 * 1024 * 1024, '\0'), &size);
    ASSERT_LT(size, 4096);
    const QString staging = path(QStringLiteral("staging"));
    QDir().mkpath(staging);
    writeAll(QDir(staging).filePath(QStringLiteral("BIG.BKX")), bomb.left(size));
    Compressor compressor(program);
    auto limited = compressor.startExpand(QStringLiteral("BIG"), staging, 1024 * 1024);
    ASSERT_TRUE(limited);
    EXPECT_FALSE(compressor.finishExpand(*limited, QStringLiteral("BIG")));
    EXPECT_FALSE(QFile::exists(QDir(staging).filePath(QStringLiteral("BIG.TPS"))));
    auto enough = compressor.startExpand(QStringLiteral("BIG"), staging, 8 * 1024 * 1024);
    ASSERT_TRUE(enough);
    EXPECT_TRUE(compressor.finishExpand(*enough, QStringLiteral("BIG")));
    EXPECT_EQ(QFileInfo(QDir(staging).filePath(QStringLiteral("BIG.TPS"))).size(), 4 * 1024 * 1024);
}

TEST_F(SafeRestoreTest, EveryRunChecksThatFundoraIsNotRunning)
{
    book(1, 1, 1);
    const QByteArray accounts = readAll(programPath("ACCOUNTS.TPS"));
    ASSERT_EQ(backup(false), BackupRun::Result::Completed);
    auto config = startedConfig();
    // Fundora starts while the utility's window is open.
    platform::DdeServer fundora;
    ASSERT_TRUE(fundora.registerServer(QString(), QStringLiteral("Vaultbak")));
    Compressor compressor(program);
    test::DirectoryRestore restoreUi;
    RestoreRun restoreRun(*config, compressor, restoreUi);
    messages().answer(Button::Ok);
    EXPECT_EQ(restoreRun.start(target), RestoreRun::State::Stopped);
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Cannot Run Back Up Module!"));
    EXPECT_EQ(readAll(programPath("ACCOUNTS.TPS")), accounts);

    QDir(target).removeRecursively();
    QDir().mkpath(target);
    test::NoDisks backupUi;
    BackupRun backupRun(*config, compressor, backupUi);
    BackupTarget t;
    t.location = target;
    t.pathSet = true;
    messages().answer(Button::Ok);
    EXPECT_EQ(backupRun.run(listDataFiles(program, false), t), BackupRun::Result::Stopped);
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Cannot Run Back Up Module!"));
    EXPECT_TRUE(QDir(target).entryList(QDir::Files).isEmpty()) << "nothing was written";
}

TEST_F(SafeRestoreTest, WhatACrashedRunLeftIsRemovedByTheNextRun)
{
    for (const char* n : {"TRANSACT.BKX", "NOTES.bkx", "99TEMP.BKY", "MEMOCARD.BKX.part"})
        writeAll(programPath(n), "left");
    QDir().mkpath(programPath(".vaultine-restore"));
    writeAll(programPath(".vaultine-restore/1.part"), "left");
    QDir().mkpath(programPath(".pklaunch.abc123"));
    writeAll(programPath("KEEP.TPS"), "data");
    ASSERT_EQ(backup(true), BackupRun::Result::Completed) << lastStop;
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ');
    EXPECT_EQ(readAll(programPath("KEEP.TPS")), QByteArray("data"));
}

} // namespace
