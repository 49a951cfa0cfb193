// The utility's windows driven as a user would, offscreen.
#include "backup/Drives.h"
#include "backup/ui/BackupWindow.h"
#include "backup/ui/DriveChoice.h"
#include "backup/ui/RestoreWindow.h"
#include "backup/ui/VaultineWindow.h"
#include "platform/IniFile.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/NextModal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::writeAll;
namespace Button = platform::Button;

namespace {

class BackupWindowsTest : public test::BackupTest {
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        // Drive C: is the test's own directory.
        writeAll(QDir(program).filePath(QStringLiteral("vaultine.INI")), QStringLiteral("[Drives]\nC=%1\n").arg(dir()).toUtf8());
        drives = DriveTable::load(QDir(program).filePath(QStringLiteral("vaultine.INI")));
        config = startedConfig();
        config->record().drive = QStringLiteral("C");
    }

    DriveTable drives;
    std::unique_ptr<BackupConfig> config;
};

TEST_F(BackupWindowsTest, APathWithADriveLetterIsRefused)
{
    Compressor compressor(program);
    BackupWindow w(*config, drives, compressor);
    w.driveChoice()->pathEdit()->setText(QStringLiteral("D:\\BACKUP"));
    messages().answer(Button::Ok);
    w.start();
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Invalid path!"));
    EXPECT_TRUE(messages().shown().back().text.startsWith(QStringLiteral("The optional path should not contain a drive letter.")));
    EXPECT_EQ(w.result(), 0) << "the window stays";
}

TEST_F(BackupWindowsTest, BackupThroughTheWindowsThenRestoreThroughThem)
{
    const QByteArray data = makeFile(QStringLiteral("ACCOUNTS.TPS"), 12000, true);
    Compressor compressor(program);
    {
        BackupWindow w(*config, drives, compressor);
        EXPECT_TRUE(w.compressBox()->isChecked()) << "compression starts on";
        w.driveChoice()->pathEdit()->setText(QStringLiteral("BACKUP"));
        messages().answer(Button::Yes); // create the directory
        messages().answer(Button::Ok);  // the backup is complete
        test::NextModal next(QStringLiteral("Continue"));
        w.start();
        EXPECT_TRUE(next.pressed());
    }
    ASSERT_FALSE(shownTexts().isEmpty());
    EXPECT_TRUE(shownTexts().last().contains(QStringLiteral("data files were backed up as set 1 on 1 disk(s)"))) << shownTexts().last();
    EXPECT_EQ(messages().unexpected(), 0);
    EXPECT_EQ(config->path(), QStringLiteral("\\BACKUP\\"));
    EXPECT_EQ(platform::IniFile::read(config->iniPath(), QStringLiteral("setup"), QStringLiteral("path")), QStringLiteral("\\BACKUP\\"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("BACKUP/1.BKP"))));
    EXPECT_EQ(config->record().setNumber, 2);
    EXPECT_EQ(config->record().drive, QStringLiteral("C"));

    writeAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS")), "lost");
    RestoreWindow r(*config, drives, compressor);
    r.findChild<QLineEdit*>()->setText(QStringLiteral("\\BACKUP\\"));
    for (QPushButton* b : r.findChildren<QPushButton*>())
        if (b->accessibleName() == QStringLiteral("Start"))
            b->click();
    EXPECT_EQ(r.outcome(), RestoreRun::State::Complete);
    EXPECT_EQ(programFile(QStringLiteral("ACCOUNTS.TPS")), data);
}

TEST_F(BackupWindowsTest, MainWindowOffersBackupRestoreAndExit)
{
    VaultineWindow w(*config, drives);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Fundora 2000 - Backup/Restore Module"));
    EXPECT_EQ(w.backupAction()->text(), QStringLiteral("Backup Data"));
    EXPECT_EQ(w.restoreAction()->text(), QStringLiteral("Restore Data"));
    EXPECT_EQ(test::controlsWithoutNames(w), QStringList());
    Compressor compressor(program);
    EXPECT_EQ(test::controlsWithoutNames(BackupWindow(*config, drives, compressor)), QStringList());
    EXPECT_EQ(test::controlsWithoutNames(RestoreWindow(*config, drives, compressor)), QStringList());
}

} // namespace
