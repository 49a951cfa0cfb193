#pragma once

#include "backup/BackupConfig.h"
#include "backup/Drives.h"

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace fundora::backup {

// The drive part shared by the backup and restore windows: Drive A, Drive B
// (hidden when B: is not removable), Other Drive with its letter, the folder
// button and the optional path.
class DriveChoice : public QWidget {
public:
    DriveChoice(const DriveTable& drives, const QString& groupTitle, const QString& pathPrompt, const QString& folderTitle,
                QWidget* parent = nullptr);

    // From CFG:DRIVE: "1" A, "2" B, else that letter ("C" when blank).
    void setFromConfig(const QString& drive, const QString& path);
    // "1", "2" or the letter, for CFG:DRIVE.
    QString configDrive() const;
    QChar letter() const;
    QString path() const;
    QLineEdit* pathEdit() const { return m_path; }
    // The target location, or empty when the drive is unknown.
    QString location(const QString& normalisedPath) const;
    QString shownLocation(const QString& normalisedPath) const;

private:
    void updateEnabled();

    const DriveTable& m_drives;
    QButtonGroup* m_group;
    QRadioButton* m_driveB;
    QComboBox* m_letters;
    QWidget* m_note;
    QLineEdit* m_path;
};

} // namespace fundora::backup
