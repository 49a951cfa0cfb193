#include "backup/ui/VaultineWindow.h"

#include "backup/ui/BackupWindow.h"
#include "backup/ui/RestoreWindow.h"
#include "backup/ui/WaitWindow.h"

#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>

namespace fundora::backup {

namespace {

QIcon drawn(int kind)
{
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    if (kind == 2) { // exit: a door
        g.setPen(QPen(QColor(90, 60, 30), 1.5));
        g.setBrush(QColor(160, 110, 60));
        g.drawRect(QRectF(8, 3, 16, 26));
        return QIcon(p);
    }
    // a diskette, with an arrow into it (backup) or out of it (restore)
    g.setPen(QPen(Qt::black, 1.2));
    g.setBrush(QColor(40, 70, 140));
    g.drawRect(QRectF(4, 8, 22, 22));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(8, 20, 14, 10));
    g.setBrush(QColor(0, 150, 60));
    g.setPen(Qt::NoPen);
    QPolygonF arrow = kind == 0 ? QPolygonF({QPointF(20, 0), QPointF(30, 0), QPointF(25, 9)})
                                : QPolygonF({QPointF(25, 0), QPointF(30, 9), QPointF(20, 9)});
    g.drawPolygon(arrow);
    return QIcon(p);
}

} // namespace

VaultineWindow::VaultineWindow(BackupConfig& config, DriveTable drives, QWidget* parent)
    : QMainWindow(parent), m_config(config), m_drives(std::move(drives)), m_compressor(config.directory())
{
    setWindowTitle(QStringLiteral("Fundora 2000 - Backup/Restore Module"));
    setAccessibleName(windowTitle());
    setWindowIcon(drawn(0));
    m_compressor.setWaiter([this](QProcess& process, const QString& title, const QString& text) {
        WaitWindow w(
            process, title, text, 30 * 60 * 1000, [this] { m_compressor.whileWaiting(); }, this);
        w.exec();
    });
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_backup = file->addAction(QStringLiteral("Backup Data"), this, &VaultineWindow::backup);
    m_restoreMenu = file->addAction(QStringLiteral("Restore Data"), this, &VaultineWindow::restore);
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setStatusTip(QStringLiteral("Exit this application"));
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setMovable(false);
    QAction* b = bar->addAction(drawn(0), QStringLiteral("Start a backup"), this, &VaultineWindow::backup);
    b->setToolTip(QStringLiteral("Start a backup"));
    bar->addAction(drawn(1), QStringLiteral("Restore data from floppies"), this, &VaultineWindow::restore);
    bar->addAction(drawn(2), QStringLiteral("Exit"), this, &QWidget::close);
    for (QAction* a : bar->actions())
        if (QWidget* button = bar->widgetForAction(a))
            button->setAccessibleName(a->text());
    auto* text = new QLabel(QStringLiteral("Back up and restore the Fundora data files of\n") + config.directory(), this);
    text->setAlignment(Qt::AlignCenter);
    setCentralWidget(text);
    resize(520, 260);
}

void VaultineWindow::backup()
{
    BackupWindow w(m_config, m_drives, m_compressor, this);
    w.exec();
}

void VaultineWindow::restore()
{
    RestoreWindow w(m_config, m_drives, m_compressor, this);
    w.exec();
}

} // namespace fundora::backup
