#include "tests/support/TestEnvironment.h"

#include <QFile>

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
}

void ProgramTest::TearDown()
{
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
