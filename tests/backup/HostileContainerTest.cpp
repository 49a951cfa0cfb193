// Containers that someone else wrote: damaged, truncated or made to write
// outside the program directory. The reader must neither crash nor do so.
#include "backup/ContainerRecord.h"
#include "tests/backup/BackupFixture.h"

#include <QDirIterator>

#include <random>

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::writeAll;

namespace {

class HostileContainerTest : public test::BackupTest {
protected:
    QByteArray header(const QByteArray& name, std::int32_t size, bool compressed = false, const QByteArray& path = {})
    {
        ContainerHeader h;
        h.fileName = name;
        h.fileSize = size;
        h.setNumber = 0;
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
    RestoreRun::State restoreFrom(const QByteArray& container)
    {
        writeAll(target + QStringLiteral("1.BKP"), container);
        BackupConfig config(program);
        messages().answer(platform::Button::Yes);
        config.start();
        Compressor compressor(program);
        test::DirectoryRestore ui;
        RestoreRun run(config, compressor, ui);
        run.start(target);
        return run.runToEnd();
    }
    // Every file under the test's directory except the program directory and the target.
    QStringList outside() const
    {
        QStringList found;
        QDirIterator it(dir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.startsWith(program + u'/') && !f.startsWith(target))
                found << f;
        }
        return found;
    }
};

TEST_F(HostileContainerTest, NamesThatLeaveTheProgramDirectoryAreRefusedBeforeWriting)
{
    for (const char* name : {"../EVIL.TPS", "/tmp/EVIL.TPS", "SUB/EVIL.TPS", "..", "C:EVIL.TPS", "..\\EVIL.TPS"}) {
        const RestoreRun::State s = restoreFrom(header(name, 10) + QByteArray(1024, 'x') + end());
        EXPECT_EQ(s, RestoreRun::State::Stopped) << name;
        EXPECT_TRUE(outside().isEmpty()) << name;
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/EVIL.TPS")));
    }
    // The compressed form names its temporary file through PATH: refused as well.
    EXPECT_EQ(restoreFrom(header("OK.TPS", 10, true, "../../X.TPS") + QByteArray(1024, 'x') + end()), RestoreRun::State::Stopped);
    EXPECT_TRUE(outside().isEmpty());
}

TEST_F(HostileContainerTest, AnUnknownCompressionTypeIsRefusedNotThrownAway)
{
    writeAll(QDir(program).filePath(QStringLiteral("ODD.TPS")), "previous");
    QByteArray h = header("ODD.TPS", 10, true);
    h[174] = '\x02';
    EXPECT_EQ(restoreFrom(h + QByteArray(1024, 'x') + end()), RestoreRun::State::Stopped);
    EXPECT_EQ(programFile(QStringLiteral("ODD.TPS")), QByteArray("previous"));
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("ODD.BKX"))));
}

TEST_F(HostileContainerTest, ACompressedFileStoredUnderAnotherNameIsMovedToItsOwnName)
{
    // The data was compressed as OLD.TPS but belongs to NEW.TPS.
    const QByteArray original = makeFile(QStringLiteral("OLD.TPS"), 20000, true);
    Compressor compressor(program);
    ASSERT_TRUE(compressor.compress(QDir(program).filePath(QStringLiteral("OLD.TPS"))));
    const QByteArray packed = programFile(QStringLiteral("OLD.BKX"));
    QFile::remove(QDir(program).filePath(QStringLiteral("OLD.BKX")));
    QFile::remove(QDir(program).filePath(QStringLiteral("OLD.TPS")));
    QByteArray blocks = packed;
    blocks.append(QByteArray((1024 - packed.size() % 1024) % 1024, '\0'));
    ASSERT_EQ(restoreFrom(header("NEW.TPS", static_cast<std::int32_t>(packed.size()), true, "OLD.TPS") + blocks + end()),
              RestoreRun::State::Complete);
    EXPECT_EQ(programFile(QStringLiteral("NEW.TPS")), original);
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("OLD.TPS"))));
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("OLD.BKX"))));
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("99TEMP.BKY"))));
}

TEST_F(HostileContainerTest, DataThatSpellsARecordKindIsStillData)
{
    QByteArray block("MKEND");
    block.append(QByteArray(1019, 'z'));
    ASSERT_EQ(restoreFrom(header("TRICK.TPS", 2048) + block + block + end()), RestoreRun::State::Complete);
    EXPECT_EQ(programFile(QStringLiteral("TRICK.TPS")), block + block);
}

TEST_F(HostileContainerTest, TruncatedAndDamagedContainersStopCleanly)
{
    const QByteArray good = header("A.TPS", 3000) + QByteArray(3 * 1024, 'a') + end();
    EXPECT_EQ(restoreFrom(good.left(2500)), RestoreRun::State::Stopped) << "cut inside a record";
    EXPECT_EQ(restoreFrom(good.left(2048)), RestoreRun::State::Stopped) << "cut after a record, no further disk";
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("A.TPS")))) << "no partial file is left in place";
    EXPECT_EQ(restoreFrom(header("A.TPS", -5) + end()), RestoreRun::State::Stopped) << "negative size";
    EXPECT_EQ(restoreFrom(header("A.TPS", 10) + QByteArray(1024, 'a') + QByteArray(1024, 'q')), RestoreRun::State::Stopped)
        << "data where a header should stand";
    EXPECT_EQ(restoreFrom(QByteArray()), RestoreRun::State::Stopped) << "empty container";
}

TEST_F(HostileContainerTest, RandomDamageNeverCrashesOrWritesOutside)
{
    const QByteArray base = header("ONE.TPS", 2500) + QByteArray(3 * 1024, 'o') + header("TWO.TPS", 100) + QByteArray(1024, 't') + end();
    std::mt19937 random(11);
    for (int round = 0; round < 150; ++round) {
        QByteArray c = base;
        const int flips = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < flips; ++i)
            c[static_cast<qsizetype>(random() % c.size())] = static_cast<char>(random());
        if (random() % 4 == 0)
            c.truncate(static_cast<qsizetype>(random() % c.size()));
        messages().clear();
        restoreFrom(c);
        ASSERT_TRUE(outside().isEmpty()) << "round " << round;
    }
}

} // namespace
