#include "backup/ui/WaitWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QTimer>

namespace fundora::backup {

namespace {

constexpr int TickMs = 100;

QPixmap clockFrame(int frame)
{
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::darkGray, 2));
    g.setBrush(QColor(255, 250, 220));
    g.drawEllipse(QRectF(3, 3, 26, 26));
    g.translate(16, 16);
    g.rotate(frame * 18.0);
    g.setPen(QPen(QColor(30, 90, 170), 2.5, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(0, 0), QPointF(0, -10));
    return p;
}

} // namespace

WaitWindow::WaitWindow(QProcess& process, const QString& title, const QString& text, int limitMs, std::function<void()> tick,
                       QWidget* parent)
    : QDialog(parent), m_process(process), m_limitMs(limitMs), m_tick(std::move(tick))
{
    setWindowTitle(title);
    setAccessibleName(title);
    auto* layout = new QHBoxLayout(this);
    m_icon = new QLabel(this);
    m_icon->setPixmap(clockFrame(m_frame));
    layout->addWidget(m_icon);
    auto* label = new QLabel(text, this);
    label->setAccessibleName(text);
    layout->addWidget(label);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &WaitWindow::tick);
    connect(&m_process, &QProcess::finished, this, &QDialog::accept);
    timer->start(TickMs);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WaitWindow::tick()
{
    m_frame = nextFrame(m_frame);
    m_icon->setPixmap(clockFrame(m_frame));
    m_elapsed += TickMs;
    if (m_tick)
        m_tick();
    if (m_process.state() == QProcess::NotRunning) {
        accept();
    } else if (m_elapsed > m_limitMs) {
        m_process.kill();
        m_process.waitForFinished(5000);
        accept();
    }
}

WaitWindow::~WaitWindow()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

} // namespace fundora::backup
