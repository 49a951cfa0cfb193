#include "backup/ui/BackupWindow.h"

#include "backup/Messages.h"
#include "backup/ui/DriveChoice.h"
#include "platform/MessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

BackupWindow::BackupWindow(BackupConfig& config, const DriveTable& drives, Compressor& compressor, QWidget* parent)
    : QDialog(parent), m_config(config), m_compressor(compressor)
{
    setWindowTitle(QStringLiteral("Back Up Data"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    m_drive = new DriveChoice(drives, QStringLiteral(" Drive to back up to "), QStringLiteral("Path (optional):"),
                              QStringLiteral("Select a Directory to back up to"), this);
    m_drive->setFromConfig(config.record().drive, config.path());
    layout->addWidget(m_drive);
    m_compress = new QCheckBox(QStringLiteral("Compress Data Files"), this);
    m_compress->setAccessibleName(m_compress->text());
    m_compress->setChecked(true);
    layout->addWidget(m_compress);
    auto* buttons = new QHBoxLayout();
    auto* start = new QPushButton(QStringLiteral("&Start"), this);
    start->setAccessibleName(QStringLiteral("Start"));
    start->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(start, &QPushButton::clicked, this, &BackupWindow::start);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void BackupWindow::start()
{
    if (m_drive->path().contains(u':')) {
        platform::MessageService::current().show(
            {QStringLiteral("Invalid path!"),
             QStringLiteral("The optional path should not contain a drive letter. Please enter the drive letter using the radio "
                            "buttons above the optional path.\r\n\r\nA typical Optional Path would be:\r\n\r\n\\BACKUP\r\n"),
             MessageIcon::Exclamation, Button::Ok, Button::Ok});
        m_drive->pathEdit()->setFocus();
        return;
    }
    m_config.record().drive = m_drive->configDrive();
    m_config.save();
    m_config.setPath(m_drive->path(), true);
    const QString location = m_drive->location(m_config.path());
    if (location.isEmpty()) {
        platform::MessageService::current().show(
            {QStringLiteral("Back Up Data"),
             QStringLiteral("Drive %1: is not set up on this computer (section [Drives] of vaultine.INI).").arg(m_drive->letter()),
             MessageIcon::Exclamation, Button::Ok, Button::Ok});
        return;
    }
    const bool compress = m_compress->isChecked();
    FileListing files;
    {
        QMessageBox info(QMessageBox::Information, QStringLiteral("Information"),
                         QStringLiteral("Reading in file information. Please wait ..."), QMessageBox::NoButton, this);
        info.show();
        QCoreApplication::processEvents();
        files = listDataFiles(m_config.directory(), compress);
    }
    if (const QString refused = refusedText(files); !refused.isEmpty())
        say(refused);
    if (compress && freeSpace(m_config.directory()) < 2 * files.biggest) {
        platform::MessageService::current().show(
            {QStringLiteral("Insufficient Disk Space!"),
             QStringLiteral("Drive ") + m_config.directory().left(1) +
                 QStringLiteral(" does not have enough free space to compress the biggest file in the back up.  Please  free up some "
                                "more hard disk space and try again."),
             MessageIcon::Stop, Button::Cancel, Button::Cancel});
        reject();
        return;
    }
    BackupTarget target;
    target.location = location;
    target.shownLocation = m_drive->shownLocation(m_config.path());
    target.pathSet = !m_config.path().isEmpty();
    const bool diskettes = m_drive->configDrive() == QStringLiteral("1") || m_drive->configDrive() == QStringLiteral("2");
    BackupCheckWindow check(m_config, m_compressor, std::move(files), target, compress, diskettes, this);
    check.exec();
    accept();
}

BackupCheckWindow::BackupCheckWindow(BackupConfig& config, Compressor& compressor, FileListing files, BackupTarget target, bool compress,
                                     bool diskettes, QWidget* parent)
    : QDialog(parent), m_config(config), m_compressor(compressor), m_files(std::move(files)), m_target(std::move(target))
{
    setWindowTitle(QStringLiteral("Data Back Up Check"));
    setAccessibleName(windowTitle());
    const Estimate e = estimateOf(m_files.total, compress);
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("If compression has been selected these figures may vary because compression is dependent on "
                                           "the type of data."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* form = new QFormLayout();
    auto* total = new QLabel(QLocale::c().toString(static_cast<qlonglong>(e.total)), this);
    total->setAccessibleName(QStringLiteral("Total Bytes to back up"));
    form->addRow(QStringLiteral("Total Bytes to back up:"), total);
    auto* disks = new QLabel(QString::number(e.disks), this);
    disks->setAccessibleName(QStringLiteral("1.4 MB Disks required"));
    disks->setEnabled(diskettes);
    form->addRow(QStringLiteral("1.4 MB Disks required"), disks);
    layout->addLayout(form);
    auto* ready =
        new QLabel(QStringLiteral("You will need to have the above diskettes ready and formatted before you start.  Any existing "
                                  ".BKP files on the diskettes will be deleted. All other files will be left intact. Disks should "
                                  "be dated and numbered from 1 up to the total shown above."),
                   this);
    ready->setWordWrap(true);
    ready->setEnabled(diskettes);
    layout->addWidget(ready);
    m_compressing = new QLabel(QStringLiteral("COMPRESSING..."), this);
    m_compressing->setEnabled(false);
    layout->addWidget(m_compressing);
    auto* progressForm = new QFormLayout();
    m_file = new QLabel(this);
    m_file->setAccessibleName(QStringLiteral("Backing Up"));
    progressForm->addRow(QStringLiteral("Backing Up:"), m_file);
    m_thisDisk = new QLabel(this);
    m_thisDisk->setAccessibleName(QStringLiteral("This Disk"));
    progressForm->addRow(QStringLiteral("This Disk"), m_thisDisk);
    m_total = new QLabel(this);
    m_total->setAccessibleName(QStringLiteral("Total Bytes"));
    progressForm->addRow(QStringLiteral("Total Bytes"), m_total);
    layout->addLayout(progressForm);
    auto* buttons = new QHBoxLayout();
    m_continue = new QPushButton(QStringLiteral("Continue"), this);
    m_continue->setAccessibleName(QStringLiteral("Continue"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(m_continue);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_continue, &QPushButton::clicked, this, &BackupCheckWindow::runBackup);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    Q_UNUSED(compress);
}

void BackupCheckWindow::runBackup()
{
    m_continue->hide();
    m_cancel->hide();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BackupRun run(m_config, m_compressor, *this);
    m_result = run.run(m_files, m_target);
    QApplication::restoreOverrideCursor();
    if (m_result != BackupRun::Result::Completed && !run.stopReason().isEmpty())
        platform::MessageService::current().show({QStringLiteral("Back Up Stopped"),
                                                  QStringLiteral("The back up did not complete: ") + run.stopReason() +
                                                      QStringLiteral("\r\n\r\nThe set number was not changed."),
                                                  MessageIcon::Exclamation, Button::Ok, Button::Ok});
    else if (m_result == BackupRun::Result::Completed)
        platform::MessageService::current().show({QStringLiteral("Back Up Complete"),
                                                  QStringLiteral("%1 data files were backed up as set %2 on %3 disk(s) at %4.")
                                                      .arg(m_files.files.size())
                                                      .arg(m_config.record().setNumber - 1)
                                                      .arg(run.disksWritten())
                                                      .arg(m_target.shownLocation),
                                                  MessageIcon::Information, Button::Ok, Button::Ok});
    accept();
}

bool BackupCheckWindow::insertDisk(int disk)
{
    QApplication::beep();
    QMessageBox next(QMessageBox::Warning, QStringLiteral("Data Back Up "),
                     QStringLiteral("DISK FULL\n\nPlease insert disk %1\n\nWhen you click on OK all back up files (ending BKP) will be "
                                    "deleted on the disk presently in the drive!")
                         .arg(disk),
                     QMessageBox::Ok | QMessageBox::Cancel, this);
    next.button(QMessageBox::Ok)->setToolTip(QStringLiteral("Continue with the back up"));
    QApplication::restoreOverrideCursor();
    const bool ok = next.exec() == QMessageBox::Ok;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return ok;
}

void BackupCheckWindow::progress(const QString& file, bool compressing, std::int64_t thisDisk, std::int64_t total)
{
    if (!file.isEmpty())
        m_file->setText(file);
    m_compressing->setEnabled(compressing);
    m_thisDisk->setText(QLocale::c().toString(static_cast<qlonglong>(thisDisk)));
    m_total->setText(QLocale::c().toString(static_cast<qlonglong>(total)));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace fundora::backup
