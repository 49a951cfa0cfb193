#pragma once

#include "backup/BackupRun.h"
#include "backup/Drives.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace fundora::backup {

class DriveChoice;

// "Back Up Data": where to, the optional path and compression; then the
// "Data Back Up Check" with its estimate, which runs the backup.
class BackupWindow : public QDialog {
public:
    BackupWindow(BackupConfig& config, const DriveTable& drives, Compressor& compressor, QWidget* parent = nullptr);
    DriveChoice* driveChoice() const { return m_drive; }
    QCheckBox* compressBox() const { return m_compress; }
    void start();

private:
    BackupConfig& m_config;
    Compressor& m_compressor;
    DriveChoice* m_drive;
    QCheckBox* m_compress;
};

// "Data Back Up Check": the estimate, and the run with its progress.
class BackupCheckWindow : public QDialog, public BackupUi {
public:
    BackupCheckWindow(BackupConfig& config, Compressor& compressor, FileListing files, BackupTarget target, bool compress, bool diskettes,
                      QWidget* parent = nullptr);
    bool insertDisk(int disk) override;
    void progress(const QString& file, bool compressing, std::int64_t thisDisk, std::int64_t total) override;
    BackupRun::Result result() const { return m_result; }

private:
    void runBackup();

    BackupConfig& m_config;
    Compressor& m_compressor;
    FileListing m_files;
    BackupTarget m_target;
    QLabel* m_file;
    QLabel* m_compressing;
    QLabel* m_thisDisk;
    QLabel* m_total;
    QPushButton* m_continue;
    QPushButton* m_cancel;
    BackupRun::Result m_result = BackupRun::Result::Stopped;
};

} // namespace fundora::backup
