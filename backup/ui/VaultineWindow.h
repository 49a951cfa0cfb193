#pragma once

#include "backup/BackupConfig.h"
#include "backup/Compressor.h"
#include "backup/Drives.h"

#include <QMainWindow>

class QAction;

namespace fundora::backup {

// "Fundora 2000 - Backup/Restore Module": Backup Data, Restore Data, Exit.
class VaultineWindow : public QMainWindow {
public:
    VaultineWindow(BackupConfig& config, DriveTable drives, QWidget* parent = nullptr);
    QAction* backupAction() const { return m_backup; }
    QAction* restoreAction() const { return m_restoreMenu; }

private:
    void backup();
    void restore();

    BackupConfig& m_config;
    DriveTable m_drives;
    Compressor m_compressor;
    QAction* m_backup;
    QAction* m_restoreMenu;
};

} // namespace fundora::backup
