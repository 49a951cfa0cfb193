#include "tests/support/TestEnvironment.h"

#include "platform/server/ServerConnection.h"
#include "tests/support/RegisterArgument.h"

#include <QFile>
#include <QRandomGenerator>

namespace fundora::test {

void ProgramTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_messages = std::make_shared<platform::ScriptedMessageService>();
    platform::MessageService::install(m_messages);
    m_clock = std::make_shared<platform::FixedClock>(QDateTime(QDate(2026, 12, 6), QTime(10, 30)));
    platform::Clock::install(m_clock);
    platform::Runtime::resetHalt();
    platform::Runtime::setHaltHandler([](const QString&) {});
    if (const QString uri = qEnvironmentVariable("FUNDORA_TEST_SERVER_URI"); !uri.isEmpty()) {
        m_serverSchema = QStringLiteral("test_%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        qputenv("FUNDORA_SERVER_SCHEMA", m_serverSchema.toUtf8()); // for the programs a test starts
    }
}

platform::RegisterPlace ProgramTest::place() const
{
    if (onServer())
        return platform::RegisterPlace::onServer(qEnvironmentVariable("FUNDORA_TEST_SERVER_URI"), m_serverSchema);
    return platform::RegisterPlace::inDirectory(dir());
}

QStringList ProgramTest::registerOptions() const
{
    if (onServer())
        return {QStringLiteral("--server"), qEnvironmentVariable("FUNDORA_TEST_SERVER_URI")};
    return {QStringLiteral("--dir"), dir()};
}

QString ProgramTest::registerArgument() const
{
    return test::registerArgument(place());
}

std::unique_ptr<platform::Store> ProgramTest::openStore() const
{
    return std::make_unique<platform::Store>(platform::engineFor(place()));
}

void ProgramTest::TearDown()
{
    if (onServer()) {
        qunsetenv("FUNDORA_SERVER_SCHEMA");
        platform::ServerConnection server(qEnvironmentVariable("FUNDORA_TEST_SERVER_URI"));
        server.exec(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(m_serverSchema));
    }
    platform::MessageService::install(nullptr);
    platform::Clock::install(nullptr);
    platform::Runtime::resetHalt();
}

QStringList ProgramTest::shownTexts() const
{
    QStringList out;
    for (const auto& m : m_messages->shown())
        out << m.text;
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace fundora::test
