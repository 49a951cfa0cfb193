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
