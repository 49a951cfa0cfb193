#pragma once

#include "platform/report/ReportManager.h"

#include <QDialog>

class QRadioButton;

namespace fundora::platform {

// Asks where a report goes: preview on the screen, the printer, or a PDF file.
class ReportDestinationDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ReportDestinationDialog(const QString& reportTitle, QWidget* parent = nullptr);
    ReportDestination destination() const;
    void setDestination(ReportDestination d);

private:
    QRadioButton* m_preview;
    QRadioButton* m_print;
    QRadioButton* m_pdf;
};

} // namespace fundora::platform
