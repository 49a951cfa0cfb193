#pragma once

#include "backup/Drives.h"
#include "backup/RestoreRun.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace fundora::backup {

class DriveChoice;

// "Restoring Data": where from, then the run in a progress window, three
// records a timer tick, asking for every further disk.
class RestoreWindow : public QDialog, public RestoreUi {
public:
    RestoreWindow(BackupConfig& config, const DriveTable& drives, Compressor& compressor, QWidget* parent = nullptr);
    bool insertDisk(int disk) override;
    void progress(const RestoreProgress& p) override;
    void showSyncHelp() override;
    RestoreRun::State outcome() const { return m_outcome; }

private:
    void startRestore();

    BackupConfig& m_config;
    Compressor& m_compressor;
    DriveChoice* m_drive;
    QLabel* m_total = nullptr;
    QLabel* m_thisDisk = nullptr;
    QLabel* m_thisFile = nullptr;
    QLabel* m_status = nullptr;
    QString m_location;
    RestoreRun::State m_outcome = RestoreRun::State::Stopped;
};

} // namespace fundora::backup
