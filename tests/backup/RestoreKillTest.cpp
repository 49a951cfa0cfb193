// A restore killed at every file-system step of the real utility (a preloaded
// shim, tests/shim), then each program started on what it left: the data
// files are all those of before or all those of the set, and the next backup
// gets a number no set had before.
#include "backup/Leftovers.h"
#include "backup/RestoreRun.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "platform/store/FileInstall.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FileSteps.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

#include <sqlite3.h>
#include <unistd.h>

#include <map>

using namespace fundora;
using test::readAll;

namespace {

using Files = std::map<QString, QByteArray>; // data file name -> its bytes' hash

struct ProgramRun {
    int exitCode = -1;
    bool killed = false;
    QString out, err;
};

class RestoreKillTest : public test::BackupTest {
protected:
    // The data files of a directory but the utility's own.
    static Files dataFiles(const QString& directory)
    {
        Files out;
        for (const QString& name : QDir(directory).entryList({QStringLiteral("*.TPS")}, QDir::Files)) {
            if (name == QStringLiteral("CFG.TPS"))
                continue;
            out[name] = QCryptographicHash::hash(readAll(QDir(directory).filePath(name)), QCryptographicHash::Sha256);
        }
        return out;
    }
    static ProgramRun run(const QString& program, const QStringList& arguments,
                          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        ProgramRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.killed = p.exitStatus() == QProcess::CrashExit;
        r.exitCode = r.killed ? -1 : p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    ProgramRun vaultine(const QString& directory, const QStringList& arguments,
                        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        return run(QStringLiteral(FUNDORA_VAULTINE), QStringList{QStringLiteral("--dir"), directory} + arguments, env);
    }
    QProcessEnvironment shimmed(const QString& directory, const QString& kill, const QString& log = {}) const
    {
        QProcessEnvironment env = test::fileStepEnvironment(QStringLiteral(FUNDORA_STEP_SHIM), directory);
        if (!kill.isEmpty())
            env.insert(QStringLiteral("FUNDORA_STEP_KILL"), kill);
        if (!log.isEmpty())
            env.insert(QStringLiteral("FUNDORA_STEP_LOG"), log);
        return env;
    }
    static void copyDirectory(const QString& from, const QString& to)
    {
        QDir(to).removeRecursively();
        QDir().mkpath(to);
        QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString relative = QDir(from).relativeFilePath(source);
            if (it.fileInfo().isDir())
                QDir().mkpath(QDir(to).filePath(relative));
            else
                QFile::copy(source, QDir(to).filePath(relative));
        }
    }
    static int backedUpSet(const ProgramRun& r)
    {
        const auto m = QRegularExpression(QStringLiteral("as set (\\d+)")).match(r.out);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
};

TEST_F(RestoreKillTest, KilledAtEveryStepOfTheInstallEachProgramFindsAllOldOrAllNew)
{
    book(1, 3, 40);
    ASSERT_EQ(vaultine(program, {QStringLiteral("--backup"), QStringLiteral("--to"), target, QStringLiteral("--no-compress")}).exitCode, 0);
    const Files inTheSet = dataFiles(program);
    book(4, 6, 60); // newer data the restore replaces
    const Files before = dataFiles(program);
    ASSERT_NE(inTheSet, before);
    const QString pristine = path(QStringLiteral("pristine"));
    copyDirectory(program, pristine);

    // Every step of a whole restore, as the shim counts them.
    const QString log = path(QStringLiteral("steps.log"));
    const ProgramRun counted =
        vaultine(program, {QStringLiteral("--restore"), QStringLiteral("--from"), target}, shimmed(program, {}, log));
    ASSERT_EQ(counted.exitCode, 0) << counted.err;
    ASSERT_EQ(dataFiles(program), inTheSet);
    const QStringList steps = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
    // The install begins where the intent record is written; every step from
    // a little before it is a kill point, and every third one before that.
    qsizetype installStart = -1;
    for (qsizetype i = 0; i < steps.size() && installStart < 0; ++i)
        if (steps[i].contains(QStringLiteral(" write ")) && steps[i].contains(platform::InstallRecordName))
            installStart = i;
    ASSERT_GT(installStart, 0) << "the install writes its record";

    int oldSeen = 0, newSeen = 0, killedSeen = 0;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if ((i < installStart - 4 && i % 3 != 0) || i % test::stepStride() != 0)
            continue;
        for (const QString& when : {QString(), QStringLiteral(":after")}) {
            copyDirectory(pristine, program);
            const QString kill = QString::number(i + 1) + when;
            const ProgramRun killed =
                vaultine(program, {QStringLiteral("--restore"), QStringLiteral("--from"), target}, shimmed(program, kill));
            killedSeen += killed.killed;
            const QString other = path(QStringLiteral("other"));
            copyDirectory(program, other);

            // Fundora started on what the kill left.
            const ProgramRun fundora =
                run(QStringLiteral(FUNDORA_BIN), {QStringLiteral("--dir"), program, QStringLiteral("--print"), QStringLiteral("accounts"),
                                                  QStringLiteral("--csv"), path(QStringLiteral("accounts.csv"))});
            EXPECT_EQ(fundora.exitCode, 0) << "kill " << kill << ": " << fundora.err;
            const Files afterFundora = dataFiles(program);
            EXPECT_TRUE(afterFundora == before || afterFundora == inTheSet) << "kill " << kill << " left a mix for Fundora";
            EXPECT_FALSE(QFile::exists(QDir(program).filePath(platform::InstallRecordName))) << "kill " << kill;
            (afterFundora == before ? oldSeen : newSeen)++;

            // The utility started on what the kill left: the same, and a backup gets a new set number.
            const ProgramRun backup = vaultine(other, {QStringLiteral("--backup"), QStringLiteral("--to"), path(QStringLiteral("again")),
                                                       QStringLiteral("--no-compress")});
            EXPECT_EQ(backup.exitCode, 0) << "kill " << kill << ": " << backup.err;
            EXPECT_EQ(backedUpSet(backup), 2) << "kill " << kill << ": set 1 exists already";
            const Files afterVaultine = dataFiles(other);
            EXPECT_TRUE(afterVaultine == before || afterVaultine == inTheSet) << "kill " << kill << " left a mix for the utility";
            EXPECT_EQ(afterVaultine == inTheSet, afterFundora == inTheSet) << "kill " << kill << ": both programs finish alike";
            EXPECT_FALSE(QFileInfo::exists(QDir(other).filePath(backup::RestoreRun::StagingName))) << "kill " << kill;
            QDir(path(QStringLiteral("again"))).removeRecursively();
        }
    }
    EXPECT_GT(killedSeen, 40 / test::stepStride());
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0) << "kills after the record was written finish the restore";
}

TEST_F(RestoreKillTest, AFirstBackupKilledAtAnyStepLeavesTheUtilityUsable)
{
    book(1, 1, 3);
    const QString pristine = path(QStringLiteral("pristine"));
    copyDirectory(program, pristine);
    const QString log = path(QStringLiteral("steps.log"));
    const QStringList backup{QStringLiteral("--backup"), QStringLiteral("--to"), target, QStringLiteral("--no-compress")};
    ASSERT_EQ(vaultine(program, backup, shimmed(program, {}, log)).exitCode, 0);
    const qsizetype steps = QString::fromUtf8(readAll(log)).count(u'\n');
    ASSERT_GT(steps, 3) << "making CFG.TPS takes steps";
    int killed = 0, tried = 0;
    for (qsizetype i = 1; i <= steps; i += test::stepStride(), ++tried) {
        copyDirectory(pristine, program);
        QDir(target).removeRecursively();
        killed += vaultine(program, backup, shimmed(program, QString::number(i))).killed;
        const ProgramRun again = vaultine(program, backup);
        EXPECT_EQ(again.exitCode, 0) << "killed at step " << i << ": " << again.err;
        EXPECT_GE(backedUpSet(again), 1) << again.out;
    }
    EXPECT_EQ(killed, tried);
}

TEST_F(RestoreKillTest, ABackupOntoADiskThatFillsUpSaysSoAndLeavesNoPartialContainer)
{
    book(1, 3, 200);
    for (const char* compress : {"--no-compress", ""}) {
        SCOPED_TRACE(compress);
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        QStringList arguments{QStringLiteral("--backup"), QStringLiteral("--to"), target};
        if (*compress)
            arguments << QString::fromLatin1(compress);
        // The target's disk fills up at its third write.
        QProcessEnvironment env = shimmed(QDir(target).absolutePath(), {});
        env.insert(QStringLiteral("FUNDORA_STEP_FULL"), QStringLiteral("3"));
        const ProgramRun r = vaultine(program, arguments, env);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(r.err.contains(QStringLiteral("disk is full"))) << r.err;
        EXPECT_TRUE(QDir(target).entryList(QDir::Files).isEmpty()) << QDir(target).entryList(QDir::Files).join(u' ');
    }
    // The set number was not used up: the next backup is set 1.
    const ProgramRun ok = vaultine(program, {QStringLiteral("--backup"), QStringLiteral("--to"), target});
    EXPECT_EQ(backedUpSet(ok), 1) << ok.out << ok.err;
}

TEST_F(RestoreKillTest, AFileHeldByAnotherProcessStopsTheRestoreBeforeAnythingIsReplaced)
{
    book(1, 2, 5);
    ASSERT_EQ(vaultine(program, {QStringLiteral("--backup"), QStringLiteral("--to"), target, QStringLiteral("--no-compress")}).exitCode, 0);
    book(3, 4, 5);
    const Files before = dataFiles(program);
    // Another station reads the memo file and keeps its read transaction open.
    const QString memos = QDir(program).filePath(QStringLiteral("MEMOCARD.TPS"));
    ASSERT_TRUE(QFile::exists(memos)) << QDir(program).entryList().join(u' ');
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(memos).constData(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM sqlite_schema;", nullptr, nullptr, nullptr), SQLITE_OK);

    const ProgramRun r = vaultine(program, {QStringLiteral("--restore"), QStringLiteral("--from"), target});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("MEMOCARD.TPS is in use by another program"))) << r.err;
    EXPECT_EQ(dataFiles(program), before) << "not one file was replaced";
    sqlite3_exec(reader, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(reader);

    // Once the other station lets go, the same restore runs.
    EXPECT_EQ(vaultine(program, {QStringLiteral("--restore"), QStringLiteral("--from"), target}).exitCode, 0);
    EXPECT_NE(dataFiles(program), before);
}

TEST_F(RestoreKillTest, TheCleanUpNeverFollowsALinkNorRemovesAnUnfinishedRestore)
{
    // Directories of someone else's, planted under the leftovers' names.
    const QString victim = path(QStringLiteral("victim"));
    QDir().mkpath(victim + QStringLiteral("/sub"));
    test::writeAll(victim + QStringLiteral("/keep.txt"), "mine");
    test::writeAll(victim + QStringLiteral("/sub/deeper.txt"), "mine too");
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(),
                        QFile::encodeName(QDir(program).filePath(backup::RestoreRun::StagingName)).constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(),
                        QFile::encodeName(QDir(program).filePath(QStringLiteral(".pklaunch.4711"))).constData()),
              0);
    // A real leftover with a link inside it.
    const QString leftover = QDir(program).filePath(QStringLiteral(".pklaunch.17"));
    QDir().mkpath(leftover);
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(leftover + QStringLiteral("/inner")).constData()), 0);

    book(1, 1, 3);
    ASSERT_EQ(vaultine(program, {QStringLiteral("--backup"), QStringLiteral("--to"), target}).exitCode, 0);
    EXPECT_EQ(readAll(victim + QStringLiteral("/keep.txt")), "mine");
    EXPECT_EQ(readAll(victim + QStringLiteral("/sub/deeper.txt")), "mine too");
    EXPECT_FALSE(QFileInfo(QDir(program).filePath(backup::RestoreRun::StagingName)).isSymLink()) << "the planted link is gone";
    EXPECT_FALSE(QFileInfo::exists(leftover));

    // A staging directory that an unfinished install names is not a leftover.
    const QString staging = QDir(program).filePath(backup::RestoreRun::StagingName);
    QDir().mkpath(staging);
    test::writeAll(staging + QStringLiteral("/1.part"), "staged");
    test::writeAll(QDir(program).filePath(platform::InstallRecordName), "fundora-install 1\n.vaultine-restore/1.part\tX.TPS\nend\n");
    backup::removeLeftovers(program);
    EXPECT_TRUE(QFile::exists(staging + QStringLiteral("/1.part")));
    // Finishing it puts the file in place and removes the record.
    EXPECT_TRUE(platform::finishInterruptedInstall(program, std::chrono::milliseconds(100)).ok());
    EXPECT_EQ(readAll(QDir(program).filePath(QStringLiteral("X.TPS"))), "staged");
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(platform::InstallRecordName)));
}

} // namespace
