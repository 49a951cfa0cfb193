#pragma once

#include "backup/ContainerRecord.h"

#include <QDialog>

#include <optional>

namespace fundora::backup {

// The header of the first container file at a location (its first 500 bytes).
std::optional<ContainerHeader> firstContainerHeader(const QString& location);

// "Disk Information": version, disk, set, date, time and first file of a container.
class DiskInfoWindow : public QDialog {
public:
    DiskInfoWindow(const ContainerHeader& header, QWidget* parent = nullptr);
    // Shows the window for `location`, or "No Backup File Found!".
    static void showFor(const QString& location, QWidget* parent);
};

} // namespace fundora::backup
