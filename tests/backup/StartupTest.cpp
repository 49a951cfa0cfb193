#include "backup/Startup.h"
#include "backup/BackupConfig.h"
#include "backup/Drives.h"
#include "backup/ui/WaitWindow.h"
#include "platform/IniFile.h"
#include "platform/ipc/DdeLink.h"
#include "tests/backup/BackupFixture.h"

using namespace fundora;
using namespace fundora::backup;
using test::readAll;
using test::writeAll;
namespace Button = platform::Button;

namespace {

class StartupTest : public test::BackupTest {
protected:
    QStringList files() const
    {
        QStringList l = QDir(program).entryList(QDir::Files | QDir::Hidden);
        l.sort();
        return l;
    }
};

TEST_F(StartupTest, FirstRunCreatesTheConfigurationWithSetOne)
{
    BackupConfig config(program);
    messages().answer(Button::Yes);
    ASSERT_EQ(startUtility(config), StartupResult::Ready);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Cannot Find CFG.TPS!"));
    EXPECT_EQ(config.record().setNumber, 1);
    EXPECT_EQ(config.record().drive, QStringLiteral("1"));
    EXPECT_EQ(platform::IniFile::read(config.iniPath(), QStringLiteral("setup"), QStringLiteral("valid")), QStringLiteral("valid"));
    EXPECT_TRUE(platform::IniFile::load(config.iniPath()).value(QStringLiteral("setup"), QStringLiteral("path")).has_value());
    EXPECT_EQ(files(), (QStringList{"CFG.TPS", "PKLAUNCH.PIF", "stowel.ini"}));
}

TEST_F(StartupTest, NoEndsWithoutCreatingAnything)
{
    BackupConfig config(program);
    messages().answer(Button::No);
    EXPECT_EQ(startUtility(config), StartupResult::Declined);
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("CFG.TPS"))));
}

TEST_F(StartupTest, AValidIniKeepsItsPath)
{
    writeAll(QDir(program).filePath(QStringLiteral("stowel.ini")), "[setup]\nvalid=valid\npath=\\SAFE\\\n");
    BackupConfig config(program);
    messages().answer(Button::Yes);
    ASSERT_EQ(startUtility(config), StartupResult::Ready);
    EXPECT_EQ(config.path(), QStringLiteral("\\SAFE\\"));
    EXPECT_EQ(readAll(QDir(program).filePath(QStringLiteral("stowel.ini"))), QByteArray("[setup]\nvalid=valid\npath=\\SAFE\\\n"));
}

TEST_F(StartupTest, RefusesToRunBesideFundoraAndTouchesNothingElse)
{
    writeAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS")), "data");
    platform::DdeServer fundora;
    ASSERT_TRUE(fundora.registerServer(QString(), QStringLiteral("Vaultbak")));
    BackupConfig config(program);
    messages().answer(Button::Yes);
    messages().answer(Button::Ok);
    EXPECT_EQ(startUtility(config), StartupResult::FundoraRunning);
    ASSERT_EQ(messages().shown().size(), 2u);
    EXPECT_EQ(messages().shown()[1].title, QStringLiteral("Cannot Run Back Up Module!"));
    EXPECT_EQ(
        messages().shown()[1].text,
        QStringLiteral("The main program Fundora is still running.\r\n\r\nPlease close down Fundora and run the Back Up module again."));
    EXPECT_EQ(files(), (QStringList{"ACCOUNTS.TPS", "CFG.TPS", "PKLAUNCH.PIF", "stowel.ini"}));
    EXPECT_EQ(readAll(QDir(program).filePath(QStringLiteral("ACCOUNTS.TPS"))), QByteArray("data"));
}

TEST_F(StartupTest, ASecondCopyIsRefused)
{
    BackupConfig first(program);
    messages().answer(Button::Yes);
    ASSERT_EQ(startUtility(first), StartupResult::Ready);
    BackupConfig second(program);
    EXPECT_EQ(startUtility(second), StartupResult::AnotherCopy);
}

TEST(BackupPath, IsNormalisedWithBackslashesAtBothEnds)
{
    EXPECT_EQ(normalisedPath(QStringLiteral("BACKUP")), QStringLiteral("\\BACKUP\\"));
    EXPECT_EQ(normalisedPath(QStringLiteral("\\BACKUP   ")), QStringLiteral("\\BACKUP\\"));
    EXPECT_EQ(normalisedPath(QStringLiteral("   ")), QString());
    EXPECT_EQ(normalisedPath(QStringLiteral("A\\B\\")), QStringLiteral("\\A\\B\\"));
    EXPECT_EQ(normalisedPath(QStringLiteral("/media/usb/backup")), QStringLiteral("/media/usb/backup/")) << "a Linux path stays one";
    const Drive home{u'C', QStringLiteral("/home/user"), false};
    EXPECT_EQ(targetLocation(home, normalisedPath(QStringLiteral("/media/usb/backup"))), QStringLiteral("/media/usb/backup/"));
    EXPECT_EQ(targetLocation(home, normalisedPath(QStringLiteral("BACKUP"))), QStringLiteral("/home/user/BACKUP/"));
}

TEST(CompressorWait, AnimationRunsThreeToTwentyThenFromOne)
{
    std::vector<int> frames;
    int f = 2;
    for (int i = 0; i < 20; ++i)
        frames.push_back(f = WaitWindow::nextFrame(f));
    EXPECT_EQ(frames.front(), 3);
    EXPECT_EQ(frames[17], 20);
    EXPECT_EQ(frames[18], 1);
    EXPECT_EQ(frames[19], 2);
}

} // namespace
