// The utility's command line, run as a user runs it: the real program, its
// output and its exit code.
#include "backup/ContainerRecord.h"
#include "tests/backup/BackupFixture.h"

#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::writeAll;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class CommandLineTest : public test::BackupTest {
protected:
    Outcome vaultine(const QStringList& arguments)
    {
        QProcess p;
        p.start(QStringLiteral(FUNDORA_VAULTINE), arguments);
        Outcome r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    Outcome backupTo(const QString& directory)
    {
        return vaultine({QStringLiteral("--dir"), program, QStringLiteral("--backup"), QStringLiteral("--to"), directory});
    }
};

TEST_F(CommandLineTest, HelpPrintsTheUsageAndExitsZero)
{
    const Outcome r = vaultine({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: vaultine"))) << r.out;
    EXPECT_TRUE(r.out.contains(QStringLiteral("--allow-older-set")));
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("CFG.TPS")))) << "nothing is asked or made";
    EXPECT_EQ(vaultine({QStringLiteral("--backup")}).exitCode, 2) << "wrong arguments";
    const Outcome version = vaultine({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("vaultine 0."))) << version.out;
}

TEST_F(CommandLineTest, AnotherCopyHoldingTheDirectoryIsSaidNotJustAnExitStatus)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    const auto windows = startedConfig(); // the windowed copy, open on the directory
    const Outcome r = vaultine({QStringLiteral("--dir"), program, QStringLiteral("--backup"), QStringLiteral("--to"), target});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Do not run more than one copy at the same time!"))) << r.err;
    EXPECT_TRUE(QDir(target).entryList(QDir::Files).isEmpty());
}

TEST_F(CommandLineTest, WithoutDirTheUtilityBacksUpTheUsersOwnRegister)
{
    const QString data = path(QStringLiteral("data"));
    const QString registerDir = data + QStringLiteral("/fundora");
    QDir().mkpath(registerDir);
    writeAll(registerDir + QStringLiteral("/ACCOUNTS.TPS"), QByteArray(3000, 'a'));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.remove(QStringLiteral("FUNDORA_DIR"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(program); // not the register
    p.start(QStringLiteral(FUNDORA_VAULTINE),
            {QStringLiteral("--backup"), QStringLiteral("--to"), target, QStringLiteral("--no-compress")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_TRUE(QFile::exists(registerDir + QStringLiteral("/CFG.TPS"))) << "the utility's own file is in the register";
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("CFG.TPS"))));
    EXPECT_TRUE(readAll(target + QStringLiteral("1.BKP")).contains(QByteArray(1000, 'a')));
}

TEST_F(CommandLineTest, TheCompressorIsTheRegistersElseTheInstalledOneAndAMissingOneIsReportedBeforeAnythingIsWritten)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 20000, true);
    QFile::remove(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")));
    // The built program finds the launcher where it is installed (the build tree's share/fundora).
    const Outcome installed = backupTo(path(QStringLiteral("installed")) + u'/');
    EXPECT_EQ(installed.exitCode, 0) << installed.err;
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")))) << "nothing is put into the register";

    // A copy of the program with nothing installed beside it.
    const QString bare = path(QStringLiteral("bare/bin/vaultine"));
    QDir().mkpath(QFileInfo(bare).path());
    ASSERT_TRUE(QFile::copy(QStringLiteral(FUNDORA_VAULTINE), bare));
    QProcess p;
    p.start(bare, {QStringLiteral("--dir"), program, QStringLiteral("--backup"), QStringLiteral("--to"), target});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QDir(target).entryList(QDir::Files).isEmpty()) << "no container was begun";
    EXPECT_TRUE(err.contains(QStringLiteral("PIF file not found!: PKLAUNCH.PIF has not been found in the current directory.\n\nCurrent "
                                            "Directory is: ") +
                             program.toUpper()))
        << err;
    EXPECT_TRUE(err.contains(QStringLiteral("PKLAUNCH.PIF is missing from ") + program)) << err;
    EXPECT_TRUE(err.contains(QStringLiteral("data/PKLAUNCH.PIF"))) << "it says how to put it there: " << err;
}

TEST_F(CommandLineTest, AnOlderSetIsRefusedNamingTheFlagThatAllowsIt)
{
    const QByteArray first = makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    const QString older = path(QStringLiteral("older")), newer = path(QStringLiteral("newer"));
    ASSERT_EQ(backupTo(older).exitCode, 0);
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 3500);
    ASSERT_EQ(backupTo(newer).exitCode, 0);
    ASSERT_EQ(backupTo(newer).exitCode, 0); // set 3: set 1 is now older than the last backup but one
    const QByteArray latest = programFile(QStringLiteral("ACCOUNTS.TPS"));
    Outcome r = vaultine({QStringLiteral("--dir"), program, QStringLiteral("--restore"), QStringLiteral("--from"), older});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--allow-older-set"))) << r.err;
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), latest);
    r = vaultine({QStringLiteral("--dir"), program, QStringLiteral("--restore"), QStringLiteral("--from"), older,
                  QStringLiteral("--allow-older-set")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), first);
    // The next backup still gets a number of its own.
    ASSERT_EQ(backupTo(path(QStringLiteral("fourth"))).exitCode, 0);
    const auto header = ContainerHeader::decode(readAll(path(QStringLiteral("fourth/1.BKP"))).left(RecordSize));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->setNumber, 4);
}

TEST_F(CommandLineTest, ALinkPlantedAsADataFileIsRefusedAndTheSetIsPrivate)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    const QString secret = path(QStringLiteral("secret"));
    writeAll(secret, "root:$6$not-for-backups");
    ASSERT_EQ(::symlink(QFile::encodeName(secret).constData(),
                        QFile::encodeName(QDir(program).filePath(QStringLiteral("SHADOW.TPS"))).constData()),
              0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(QDir(program).filePath(QStringLiteral("PIPE.TPS"))).constData(), 0600), 0);
    const QString fresh = path(QStringLiteral("fresh/set"));
    const Outcome r = vaultine(
        {QStringLiteral("--dir"), program, QStringLiteral("--backup"), QStringLiteral("--to"), fresh, QStringLiteral("--no-compress")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Not backed up: PIPE.TPS (it is not a regular file), SHADOW.TPS (it is a link"))) << r.err;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Backed up 2 files"))) << r.out; // ACCOUNTS.TPS and CFG.TPS
    const QByteArray container = readAll(fresh + QStringLiteral("/1.BKP"));
    EXPECT_FALSE(container.contains("not-for-backups"));
    EXPECT_EQ(QFile(fresh + QStringLiteral("/1.BKP")).permissions() &
                  ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::Permissions());
    EXPECT_EQ(QFile(fresh).permissions() &
                  (QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
}

TEST_F(CommandLineTest, ADamagedSetIsSaidOnceAndNothingIsRestored)
{
    book(1, 2, 30);
    ASSERT_EQ(vaultine({QStringLiteral("--dir"), program, QStringLiteral("--backup"), QStringLiteral("--to"), target,
                        QStringLiteral("--no-compress")})
                  .exitCode,
              0);
    // The second page of the first file in the set (ACCOUNTS.TPS, after its header record) is no page any more.
    QByteArray container = readAll(target + QStringLiteral("1.BKP"));
    ASSERT_GT(container.size(), 1024 + 4096 + 1);
    container[1024 + 4096] = '\xFF';
    writeAll(target + QStringLiteral("1.BKP"), container);
    const QByteArray before = programFile(QStringLiteral("ACCOUNTS.TPS"));
    const Outcome r = vaultine({QStringLiteral("--dir"), program, QStringLiteral("--restore"), QStringLiteral("--from"), target});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count(QStringLiteral("ACCOUNTS.TPS in the backup set is damaged")), 1) << r.err;
    EXPECT_TRUE(r.err.contains(QStringLiteral("every data file is as it was"))) << r.err;
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), before);
}

TEST_F(CommandLineTest, ARefusedSetExitsNonZeroAndSaysWhy)
{
    ContainerHeader h;
    h.fileName = "PKLAUNCH.PIF";
    h.fileSize = 10;
    h.diskNumber = 1;
    h.path = h.fileName;
    h.compressionType = 1;
    h.version = FormatVersion;
    ContainerHeader e;
    e.kind = RecordKind::End;
    e.version = FormatVersion;
    writeAll(target + QStringLiteral("1.BKP"), h.encode() + QByteArray(RecordSize, 'x') + e.encode());
    const QByteArray launcher = programFile(QStringLiteral("PKLAUNCH.PIF"));
    const Outcome r = vaultine({QStringLiteral("--dir"), program, QStringLiteral("--restore"), QStringLiteral("--from"), target});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("only data files (*.TPS) are restored"))) << r.err;
    EXPECT_EQ(programFile(QStringLiteral("PKLAUNCH.PIF")), launcher);
}

} // namespace
