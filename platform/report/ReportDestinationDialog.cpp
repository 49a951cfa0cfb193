#include "platform/report/ReportDestinationDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fundora::platform {

ReportDestinationDialog::ReportDestinationDialog(const QString& reportTitle, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Report Destination"));
    setObjectName(QStringLiteral("ReportDestination"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(reportTitle, this);
    title->setAccessibleName(QStringLiteral("Report"));
    layout->addWidget(title);

    auto* group = new QGroupBox(QStringLiteral("Send the report to"), this);
    auto* choices = new QVBoxLayout(group);
    m_preview = new QRadioButton(QStringLiteral("&Preview on the screen"), group);
    m_print = new QRadioButton(QStringLiteral("P&rinter"), group);
    m_pdf = new QRadioButton(QStringLiteral("&Save as PDF file"), group);
    for (QRadioButton* b : {m_preview, m_print, m_pdf}) {
        b->setAccessibleName(b->text().remove(u'&'));
        choices->addWidget(b);
    }
    m_preview->setChecked(true);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

ReportDestination ReportDestinationDialog::destination() const
{
    if (m_print->isChecked())
        return ReportDestination::Print;
    if (m_pdf->isChecked())
        return ReportDestination::Pdf;
    return ReportDestination::Preview;
}

void ReportDestinationDialog::setDestination(ReportDestination d)
{
    (d == ReportDestination::Print ? m_print : d == ReportDestination::Pdf ? m_pdf : m_preview)->setChecked(true);
}

} // namespace fundora::platform
