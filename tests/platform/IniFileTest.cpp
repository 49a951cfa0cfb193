#include "platform/IniFile.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

using fundora::platform::IniFile;
using fundora::test::readAll;
using fundora::test::writeAll;

namespace {

class IniFileTest : public fundora::test::ProgramTest {};

TEST_F(IniFileTest, FindsSectionsAndKeysWithoutCase)
{
    const IniFile ini = IniFile::fromText(QStringLiteral("[BrowseAccounts]\nXPos=10\n[DISPLAY STRINGS 2.0]\nTitle = Open Items \n"));
    EXPECT_EQ(ini.value(QStringLiteral("browseaccounts"), QStringLiteral("XPOS")), QStringLiteral("10"));
    EXPECT_EQ(ini.value(QStringLiteral("Display Strings 2.0"), QStringLiteral("title")), QStringLiteral("Open Items"));
    EXPECT_FALSE(ini.value(QStringLiteral("Missing"), QStringLiteral("XPos")));
    EXPECT_EQ(ini.value(QStringLiteral("BrowseAccounts"), QStringLiteral("YPos"), QStringLiteral("7")), QStringLiteral("7"));
}

TEST_F(IniFileTest, WritingKeepsEverythingElseAsItWas)
{
    const QString text = QStringLiteral("; positions\n[A]\nx=1\n\n[B]\ny=2\n");
    IniFile ini = IniFile::fromText(text);
    ini.setValue(QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("5"));
    ini.setValue(QStringLiteral("A"), QStringLiteral("w"), QStringLiteral("9"));
    ini.setValue(QStringLiteral("C"), QStringLiteral("z"), QStringLiteral("3"));
    EXPECT_EQ(ini.text(), QStringLiteral("; positions\n[A]\nX=5\nw=9\n\n[B]\ny=2\n\n[C]\nz=3\n"));
}

TEST_F(IniFileTest, ValuesMayHoldEqualsSigns)
{
    IniFile ini;
    ini.setValue(QStringLiteral("OnLine"), QStringLiteral("Url"), QStringLiteral("https://x.example/?a=b"));
    EXPECT_EQ(IniFile::fromText(ini.text()).value(QStringLiteral("OnLine"), QStringLiteral("Url")),
              QStringLiteral("https://x.example/?a=b"));
}

TEST_F(IniFileTest, WriteSavesAtomicallyAndReadsBack)
{
    const QString file = path(QStringLiteral("fundora.INI"));
    writeAll(file, "[Main]\r\nXPos=1\r\n");
    ASSERT_TRUE(IniFile::write(file, QStringLiteral("Main"), QStringLiteral("YPos"), QStringLiteral("2")));
    EXPECT_EQ(IniFile::read(file, QStringLiteral("MAIN"), QStringLiteral("xpos")), QStringLiteral("1"));
    EXPECT_EQ(IniFile::read(file, QStringLiteral("Main"), QStringLiteral("YPos")), QStringLiteral("2"));
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList{QStringLiteral("fundora.INI")}) << "no temporary file is left";
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotReplaced)
{
    // A directory in the file's place cannot be read (not even by root): the write must fail, not replace it.
    const QString file = path(QStringLiteral("blocked.INI"));
    ASSERT_TRUE(QDir().mkpath(file));
    QString error;
    EXPECT_FALSE(IniFile::write(file, QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(file).isDir());
}

} // namespace
