#include "backup/ui/RestoreWindow.h"

#include "backup/ui/DiskInfoWindow.h"
#include "backup/ui/DriveChoice.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

RestoreWindow::RestoreWindow(BackupConfig& config, const DriveTable& drives, Compressor& compressor, QWidget* parent)
    : QDialog(parent), m_config(config), m_compressor(compressor)
{
    setWindowTitle(QStringLiteral("Restoring Data"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    m_drive = new DriveChoice(drives, QStringLiteral("Drive to use"), QStringLiteral("Path to restore FROM:"),
                              QStringLiteral("Select a Directory to restore from"), this);
    m_drive->setFromConfig(config.record().drive, config.path());
    layout->addWidget(m_drive);
    auto* instructions =
        new QLabel(QStringLiteral("Place disk 1 in the drive - all subsequent disks must be from the same \"set\". A warning will "
                                  "be given if one of them is found to be from the wrong set. The restore process must not be "
                                  "interrupted! "),
                   this);
    instructions->setWordWrap(true);
    layout->addWidget(instructions);
    auto* form = new QFormLayout();
    auto* last = new QLabel(QString::number(config.record().setNumber - 1), this);
    last->setAccessibleName(QStringLiteral("Last Back Up Set"));
    form->addRow(QStringLiteral("Last Back Up Set :"), last);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout();
    auto* info = new QPushButton(QStringLiteral("&Disk Info"), this);
    info->setToolTip(QStringLiteral("Information on the BKP file on the diskette"));
    auto* start = new QPushButton(QStringLiteral("&Start"), this);
    start->setToolTip(QStringLiteral("Start the restore process"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setToolTip(QStringLiteral("Cancel and return to main menu"));
    for (QPushButton* b : {info, start, cancel}) {
        b->setAccessibleName(b->text().remove(u'&'));
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(info, &QPushButton::clicked, this, [this] {
        m_config.record().drive = m_drive->configDrive();
        m_config.save();
        QString path = m_drive->path().trimmed();
        if (!path.isEmpty() && !path.endsWith(u'\\'))
            path += u'\\';
        DiskInfoWindow::showFor(m_drive->location(path), this);
    });
    connect(start, &QPushButton::clicked, this, &RestoreWindow::startRestore);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RestoreWindow::startRestore()
{
    m_config.record().drive = m_drive->configDrive();
    m_config.save();
    m_config.setPath(m_drive->path(), false);
    m_location = m_drive->location(m_config.path());
    if (m_location.isEmpty())
        return;

    QDialog window(this);
    window.setWindowTitle(QStringLiteral("Restoring Data"));
    auto* form = new QFormLayout(&window);
    m_total = new QLabel(&window);
    m_thisDisk = new QLabel(&window);
    m_thisFile = new QLabel(&window);
    m_status = new QLabel(&window);
    form->addRow(QStringLiteral("Total Bytes Restored"), m_total);
    form->addRow(QStringLiteral("This Disk"), m_thisDisk);
    form->addRow(QStringLiteral("This File"), m_thisFile);
    form->addRow(m_status);
    window.show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RestoreRun run(m_config, m_compressor, *this);
    RestoreRun::State state = run.start(m_location);
    if (state == RestoreRun::State::Running) {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &window, [&] {
            if (run.step(3) != RestoreRun::State::Running)
                window.accept();
        });
        timer.start(0);
        window.exec();
        state = run.state();
    }
    QApplication::restoreOverrideCursor();
    m_total = m_thisDisk = m_thisFile = m_status = nullptr; // they went with the progress window
    m_outcome = state;
    accept();
}

bool RestoreWindow::insertDisk(int disk)
{
    QApplication::restoreOverrideCursor();
    QApplication::beep();
    for (;;) {
        QMessageBox next(QMessageBox::Information, QStringLiteral("Restoring Data"),
                         QStringLiteral("DISK FULL\n\nPlease insert disk %1").arg(disk), QMessageBox::NoButton, this);
        QPushButton* info = next.addButton(QStringLiteral("Disk Info"), QMessageBox::ActionRole);
        info->setToolTip(QStringLiteral("Info on the BKP file"));
        QPushButton* go = next.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
        QPushButton* cancel = next.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        cancel->setToolTip(QStringLiteral("Cancels Restore - not recommended!"));
        next.exec();
        if (next.clickedButton() == info) {
            DiskInfoWindow::showFor(m_location, this);
            continue;
        }
        if (next.clickedButton() == go) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return true;
        }
        if (platform::MessageService::current().show(
                {QStringLiteral("CAUTION!"),
                 QStringLiteral("If you abandon a restore part-way through you will not be able to run the application.  Data files "
                                "will only be partly restored and half a data file is useless.                        CONTINUE with "
                                "cancellation?"),
                 MessageIcon::Exclamation, Button::Yes | Button::No, Button::No}) == Button::Yes)
            return false;
    }
}

void RestoreWindow::progress(const RestoreProgress& p)
{
    if (!m_total)
        return;
    m_total->setText(QString::number(p.totalBytes).rightJustified(14));
    m_thisDisk->setText(QString::number(p.thisDisk).rightJustified(14));
    m_thisFile->setText(QString::number(p.thisFile).rightJustified(14));
    m_status->setText(p.status.left(40));
}

void RestoreWindow::showSyncHelp()
{
    QMessageBox help(QMessageBox::Information, QStringLiteral("Help on re-synching set numbers"),
                     QStringLiteral("Every time you make a backup a unique number is allocated by this program and stored on the backup "
                                    "disks.  This number is also stored on hard disk (the system set no.) so if you need to do a restore "
                                    "a check can be made that you are using the latest disks.\n\nFollowing a hard disk failure it is "
                                    "possible that the stored set number does not correspond with the diskette number.  In this case "
                                    "you can choose to get the two numbers back into synchronization."),
                     QMessageBox::Ok, this);
    help.exec();
}

} // namespace fundora::backup
