// Whole backups and restores in temporary directories, with scripted answers.
#include "backup/ContainerRecord.h"
#include "backup/FileListing.h"
#include "tests/backup/BackupFixture.h"

#include <QDir>
#include <QFileInfo>

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::writeAll;
namespace Button = platform::Button;

namespace {

class BackupRestoreTest : public test::BackupTest {
protected:
    BackupRun::Result backupTo(BackupConfig& config, bool compress, std::int64_t volume = 0)
    {
        Compressor compressor(program);
        test::NoDisks ui;
        BackupRun run(config, compressor, ui);
        BackupTarget t;
        t.location = target;
        t.shownLocation = target;
        t.pathSet = true;
        t.volumeSize = volume;
        const BackupRun::Result r = run.run(listDataFiles(program, compress), t);
        lastStop = run.stopReason();
        disks = run.disksWritten();
        return r;
    }
    RestoreRun::State restore(BackupConfig& config)
    {
        Compressor compressor(program);
        RestoreRun run(config, compressor, restoreUi);
        run.start(target);
        const RestoreRun::State s = run.runToEnd();
        lastStop = run.stopReason();
        restored = run.restoredFiles();
        return s;
    }
    QStringList programFiles() const
    {
        QStringList l = QDir(program).entryList(QDir::Files | QDir::Hidden);
        l.sort();
        return l;
    }

    QString lastStop;
    int disks = 0;
    QStringList restored;
    test::DirectoryRestore restoreUi;
};

TEST_F(BackupRestoreTest, UncompressedSetOnOneDiskRestoresByteForByte)
{
    const QByteArray accounts = makeFile(QStringLiteral("ACCOUNTS.TPS"), 70000);
    const QByteArray notes = makeFile(QStringLiteral("NOTES.TPS"), 1024);
    makeFile(QStringLiteral("EMPTY.TPS"), 0);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false), BackupRun::Result::Completed) << lastStop.toStdString();
    EXPECT_EQ(disks, 1);
    EXPECT_EQ(QDir(target).entryList(QDir::Files), QStringList{QStringLiteral("1.BKP")});
    const QByteArray c = test::readAll(target + QStringLiteral("1.BKP"));
    EXPECT_EQ(c.right(1024).left(5), "MKEND");
    EXPECT_EQ(config->record().setNumber, 2) << "a completed backup raises the set number by one";

    writeAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS")), "ruined");
    QFile::remove(QDir(program).filePath(QStringLiteral("NOTES.TPS")));
    ASSERT_EQ(restore(*config), RestoreRun::State::Complete) << lastStop.toStdString();
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), accounts);
    EXPECT_EQ(programFile(QStringLiteral("NOTES.TPS")), notes);
    EXPECT_FALSE(restored.contains(QStringLiteral("EMPTY.TPS"))) << "a 0-byte file is not part of the backup";
    EXPECT_EQ(messages().shown().size(), 1u) << "only the question that created CFG.TPS was asked";
}

TEST_F(BackupRestoreTest, CompressedSetAcrossSeveralContainersRestoresByteForByte)
{
    const QByteArray big = makeFile(QStringLiteral("TRANSACT.TPS"), 300000);
    const QByteArray text = makeFile(QStringLiteral("MEMOCARD.TPS"), 200000, true);
    const QByteArray small = makeFile(QStringLiteral("NOTES.TPS"), 5000);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, true, 64 * 1024), BackupRun::Result::Completed) << lastStop.toStdString();
    EXPECT_GT(disks, 3);
    for (const QString& name : QDir(target).entryList(QDir::Files))
        EXPECT_LE(QFileInfo(target + name).size(), 64 * 1024) << name.toStdString();
    EXPECT_FALSE(programFiles().contains(QStringLiteral("TRANSACT.BKX"))) << "temporary files are removed";

    for (const char* n : {"TRANSACT.TPS", "MEMOCARD.TPS", "NOTES.TPS"})
        writeAll(QDir(program).filePath(QString::fromLatin1(n)), "changed since");
    ASSERT_EQ(restore(*config), RestoreRun::State::Complete) << lastStop.toStdString();
    EXPECT_EQ(programFile(QStringLiteral("TRANSACT.TPS")), big);
    EXPECT_EQ(programFile(QStringLiteral("MEMOCARD.TPS")), text);
    EXPECT_EQ(programFile(QStringLiteral("NOTES.TPS")), small);
    for (const QString& f : programFiles())
        EXPECT_FALSE(f.endsWith(QStringLiteral(".BKX")) || f.endsWith(QStringLiteral(".BKY")) || f.startsWith(u'.')) << f.toStdString();
}

TEST_F(BackupRestoreTest, FilesOf5000BytesStayUncompressedAnd5001AreCompressed)
{
    makeFile(QStringLiteral("A.TPS"), 5000, true);
    makeFile(QStringLiteral("B.TPS"), 5001, true);
    makeFile(QStringLiteral("c.tps"), 10);
    makeFile(QStringLiteral("D.TXT"), 9000);
    const FileListing l = listDataFiles(program, true);
    ASSERT_EQ(l.files.size(), 3u) << "*.TPS without regard to case, nothing else";
    EXPECT_FALSE(l.files[0].compress);
    EXPECT_TRUE(l.files[1].compress);
    EXPECT_EQ(l.files[2].name, QStringLiteral("C.TPS"));
    EXPECT_EQ(l.biggest, 5001);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, true), BackupRun::Result::Completed);
    const QByteArray c = test::readAll(target + QStringLiteral("1.BKP"));
    auto header = [&](int k) { return *ContainerHeader::decode(c.mid((k - 1) * 1024, 1024)); };
    EXPECT_EQ(header(1).fileNameText(), QStringLiteral("A.TPS"));
    EXPECT_FALSE(header(1).compressed);
    EXPECT_EQ(header(1).fileSize, 5000);
    EXPECT_EQ(header(7).fileNameText(), QStringLiteral("B.TPS"));
    EXPECT_TRUE(header(7).compressed);
    EXPECT_LT(header(7).fileSize, 5001) << "the stored size is the compressed size";
    EXPECT_EQ(header(7).pathText(), QStringLiteral("B.TPS"));
}

TEST_F(BackupRestoreTest, DisksRequiredEstimates)
{
    EXPECT_EQ(estimateOf(2900000, false).disks, 3);
    EXPECT_EQ(estimateOf(2900000, false).total, 2900000);
    EXPECT_EQ(estimateOf(2900000, true).total, 1450000);
    EXPECT_EQ(estimateOf(2900000, true).disks, 2);
}

TEST_F(BackupRestoreTest, AFailingCompressorStopsTheRunInsteadOfWaitingForever)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 9000);
    writeAll(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")), "#!/bin/sh\nexit 3\n");
    auto config = startedConfig();
    messages().answer(Button::Abort);
    EXPECT_EQ(backupTo(*config, true), BackupRun::Result::Stopped);
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Unable to carry out compression!"));
    EXPECT_TRUE(lastStop.contains(QStringLiteral("exit code 3"))) << lastStop.toStdString();
    EXPECT_EQ(config->record().setNumber, 1);
}

TEST_F(BackupRestoreTest, OldContainersAreDeletedOnlyInTheTargetDirectory)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 100);
    writeAll(target + QStringLiteral("7.BKP"), "old");
    writeAll(path(QStringLiteral("1.BKP")), "another directory's container");
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false), BackupRun::Result::Completed);
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("7.BKP")));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("1.BKP"))));
}

TEST_F(BackupRestoreTest, RestoringTheLatestSetGivesNoWarningAnOlderOneAsksAndCanResync)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false), BackupRun::Result::Completed); // set 1; next is 2
    ASSERT_EQ(restore(*config), RestoreRun::State::Complete);
    EXPECT_EQ(messages().shown().size(), 1u) << "no set warning for the latest set";

    // Later backups made elsewhere: CFG.TPS now expects set 6.
    config->record().setNumber = 6;
    ASSERT_TRUE(config->save());
    messages().answer(Button::Ok);  // continue despite the older set
    messages().answer(Button::Yes); // bring set numbers into sync
    ASSERT_EQ(restore(*config), RestoreRun::State::Complete) << lastStop.toStdString();
    const auto& shown = messages().shown();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[1].title, QStringLiteral("Disk Set older than current Data!   WARNING!"));
    EXPECT_TRUE(shown[1].text.startsWith(
        QStringLiteral("The disk set you are restoring from is sequence no. 1 whereas the last back up done was sequence 5. If you "
                       "continue you could be overwriting (and thus losing) data entered since 6 Dec 2026 at 10:30 AM.")))
        << shown[1].text.toStdString();
    EXPECT_EQ(shown[2].title, QStringLiteral("Bring Set Numbers into Sync?"));
    // CFG.TPS came back with the number it had when that backup was taken, yet
    // the next backup still gets a number no earlier backup had.
    EXPECT_EQ(config->record().setNumber, 6);
}

TEST_F(BackupRestoreTest, CancellingTheOlderSetWarningWritesNothing)
{
    const QByteArray original = makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false), BackupRun::Result::Completed);
    config->record().setNumber = 9;
    config->save();
    writeAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS")), "newer data");
    messages().answer(Button::Cancel);
    EXPECT_EQ(restore(*config), RestoreRun::State::Stopped);
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), QByteArray("newer data"));
}

TEST_F(BackupRestoreTest, AnotherVersionIsRefusedBeforeAnyFileIsWritten)
{
    makeFile(QStringLiteral("ACCOUNTS.TPS"), 3000);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false), BackupRun::Result::Completed);
    QByteArray c = test::readAll(target + QStringLiteral("1.BKP"));
    c.replace(175, 5, "3.5  ");
    writeAll(target + QStringLiteral("1.BKP"), c);
    writeAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS")), "keep me");
    messages().answer(Button::Cancel);
    EXPECT_EQ(restore(*config), RestoreRun::State::Stopped);
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Incorrect Version!"));
    EXPECT_EQ(
        messages().shown().back().text,
        QStringLiteral("These files have been backed up using version 3.5 of the back up program.  \r\n\r\nThe current version of the "
                       "program is 3.6\r\n"));
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), QByteArray("keep me"));
}

TEST_F(BackupRestoreTest, TheWrongContinuationDiskIsRefusedAndAStoppedRestoreReplacesNothing)
{
    makeFile(QStringLiteral("A.TPS"), 2000);
    makeFile(QStringLiteral("B.TPS"), 60000);
    auto config = startedConfig();
    ASSERT_EQ(backupTo(*config, false, 16 * 1024), BackupRun::Result::Completed);
    // Disk 3 stands where disk 2 should be.
    QFile::rename(target + QStringLiteral("2.BKP"), target + QStringLiteral("2.keep"));
    QFile::copy(target + QStringLiteral("3.BKP"), target + QStringLiteral("2.BKP"));
    writeAll(QDir(program).filePath(QStringLiteral("A.TPS")), "previous A");
    writeAll(QDir(program).filePath(QStringLiteral("B.TPS")), "previous B");
    EXPECT_EQ(restore(*config), RestoreRun::State::Stopped);
    QStringList texts = shownTexts();
    EXPECT_TRUE(texts.contains(QStringLiteral("Error 0: Incorrect disk - please insert disk 2")));
    // A set restored in part would mix files of two dates: A.TPS, though whole, is not put in place.
    EXPECT_EQ(programFile(QStringLiteral("A.TPS")), QByteArray("previous A"));
    EXPECT_EQ(programFile(QStringLiteral("B.TPS")), QByteArray("previous B"));
    EXPECT_TRUE(lastStop.endsWith(QStringLiteral("Nothing was restored; every data file is as it was."))) << lastStop;
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(QStringLiteral(".vaultine")),
              QStringList())
        << "the staging directory is gone";
}

} // namespace
