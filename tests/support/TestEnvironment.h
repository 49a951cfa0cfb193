#pragma once

#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/Runtime.h"
#include "platform/server/RegisterPlace.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Lets GoogleTest print texts readably in failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
// ... and in messages of failed checks (EXPECT_TRUE(...) << text).
inline std::ostream& operator<<(std::ostream& os, const QString& s)
{
    return os << s.toStdString();
}

namespace fundora::test {

// The tests that kill or fail a process at a file-system step try every step,
// and the random walks take all their steps; the sanitizer run, where each
// process takes several times as long, tries every n-th and takes an n-th (n
// from FUNDORA_TEST_STEP_STRIDE, set by scripts/test.sh).
inline int stepStride()
{
    const int n = qEnvironmentVariableIntValue("FUNDORA_TEST_STEP_STRIDE");
    return n > 1 ? n : 1;
}

// What a test of the files' own directory says when the suite runs on the server.
#define FUNDORA_SKIP_ON_SERVER()                                                                                                           \
    do {                                                                                                                                   \
        if (onServer())                                                                                                                    \
            GTEST_SKIP() << "a test of the data files in a directory";                                                                     \
    } while (false)

// Every test works in its own program directory, with scripted message boxes,
// an observable halt and a clock that stands still on a chosen day.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString dir() const { return m_dir.path(); }
    // The register this test works on: its directory, or in the suite's pass
    // on the server (FUNDORA_TEST_SERVER_URI set) a schema of its own on the
    // tests' server, dropped when the test ends.
    platform::RegisterPlace place() const;
    bool onServer() const { return !m_serverSchema.isEmpty(); }
    // How the programs' command lines are told of place() ("--dir DIR" or
    // "--server URI"; the schema goes by FUNDORA_SERVER_SCHEMA, set for the test).
    QStringList registerOptions() const;
    // How a second station (tests/station) is told of place().
    QString registerArgument() const;
    // A store on place(), as another station would open it.
    std::unique_ptr<platform::Store> openStore() const;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    platform::ScriptedMessageService& messages() { return *m_messages; }
    platform::FixedClock& clock() { return *m_clock; }
    // Texts of the messages shown so far.
    QStringList shownTexts() const;

private:
    QTemporaryDir m_dir;
    QString m_serverSchema;
    std::shared_ptr<platform::ScriptedMessageService> m_messages;
    std::shared_ptr<platform::FixedClock> m_clock;
};

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace fundora::test
