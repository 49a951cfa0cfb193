#include "tests/support/Station.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace fundora::test {

QString Station::program()
{
    return QStringLiteral(FUNDORA_STATION);
}

int Station::run(const QStringList& arguments, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program(), arguments);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

Station::Outcome Station::runKilledAt(const QStringList& arguments, const QString& killAt, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FUNDORA_KILL_AT"), killAt);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program(), arguments);
    Outcome o;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.killed = p.exitStatus() == QProcess::CrashExit;
    o.exitCode = p.exitCode();
    const QByteArray out = p.readAllStandardOutput();
    if (const qsizetype at = out.lastIndexOf("steps "); at >= 0)
        o.steps = out.mid(at + 6).trimmed().toInt();
    return o;
}

std::unique_ptr<QProcess> Station::start(const QStringList& arguments)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(program(), arguments);
    p->waitForStarted();
    return p;
}

bool Station::waitForFile(const QString& path, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(path)) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

} // namespace fundora::test
