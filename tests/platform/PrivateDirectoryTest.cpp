// The user's own runtime directory and what lives in it: the running-program
// socket that another local user can neither block nor answer, and the work
// files that the next start cleans up.
#include "platform/PrivateDirectory.h"
#include "platform/ipc/DdeLink.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

using namespace fundora;

namespace {

class PrivateDirectoryTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        m_saved = qgetenv("XDG_RUNTIME_DIR");
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    }
    void TearDown() override
    {
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_saved);
        else
            qunsetenv("XDG_RUNTIME_DIR");
        ProgramTest::TearDown();
    }
    QString makeDirectory(const char* name, mode_t mode)
    {
        const QString p = path(QString::fromLatin1(name));
        QDir().mkpath(p);
        ::chmod(QFile::encodeName(p).constData(), mode);
        return p;
    }

private:
    QByteArray m_saved;
    bool m_hadRuntime = false;
};

TEST_F(PrivateDirectoryTest, TheRunningProgramsSocketLivesWhereOnlyItsUserCanReachIt)
{
    const QString runtime = makeDirectory("runtime", 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    EXPECT_EQ(platform::userRuntimeDirectory(), runtime);
    EXPECT_TRUE(platform::ddeSocketName(QString(), QStringLiteral("Vaultbak")).startsWith(runtime + u'/'));

    // A name another user planted in the shared temporary directory, where the socket used to be, blocks nothing.
    const QString oldPlace =
        QDir::tempPath() + QStringLiteral("/fundora-dde--Vaultbak-%1-%2").arg(::getuid()).arg(qEnvironmentVariable("FUNDORA_DDE_SCOPE"));
    test::writeAll(oldPlace, "planted");
    platform::DdeServer server;
    EXPECT_TRUE(server.registerServer(QString(), QStringLiteral("Vaultbak")));
    EXPECT_TRUE(platform::ddeServerRunning(QString(), QStringLiteral("Vaultbak")));
    server.unregister();
    EXPECT_FALSE(platform::ddeServerRunning(QString(), QStringLiteral("Vaultbak")));
    EXPECT_EQ(test::readAll(oldPlace), "planted");
    QFile::remove(oldPlace);

    // A runtime directory others may enter is not used: the program's own one in the temporary directory is.
    const QString open = makeDirectory("open", 0755);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open));
    const QString fallback = platform::userRuntimeDirectory();
    EXPECT_EQ(fallback, QDir::tempPath() + QStringLiteral("/fundora-%1").arg(::getuid()));
    EXPECT_TRUE(platform::isPrivateDirectory(fallback));
    // A link planted there instead of the directory is never taken for it.
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_FALSE(platform::isPrivateDirectory(path(QStringLiteral("link"))));
    ASSERT_EQ(::symlink(QFile::encodeName(runtime).constData(), QFile::encodeName(path(QStringLiteral("link"))).constData()), 0);
    EXPECT_FALSE(platform::isPrivateDirectory(path(QStringLiteral("link"))));
}

TEST_F(PrivateDirectoryTest, TheNextStartRemovesTheWorkOfEndedRunsOnly)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(makeDirectory("runtime", 0700)));
    const QString work = platform::workDirectory(QStringLiteral("report"));
    ASSERT_TRUE(platform::isPrivateDirectory(work));
    // A process that has ended: its id is free once it has been waited for.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForFinished());
    const QString dead = work + QStringLiteral("/%1-abcdef").arg(ended.processId());
    QDir().mkpath(dead);
    test::writeAll(dead + QStringLiteral("/page-000001.frpg"), "left by a killed run");
    const QString mine = platform::workEntryTemplate(QStringLiteral("report")).replace(QStringLiteral("XXXXXX"), QStringLiteral("running"));
    QDir().mkpath(mine);
    platform::cleanWorkDirectory(QStringLiteral("report"));
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(mine)) << "a running copy's pages stay";
}

} // namespace
