#include "reports/ProgressWindow.h"

#include "platform/ui/DialogUnits.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::reports {

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(QStringLiteral("Progress..."));
    auto* layout = new QVBoxLayout(this);
    m_upper = new QLabel(this);
    m_upper->setAlignment(Qt::AlignCenter);
    m_upper->setAccessibleName(QStringLiteral("Report"));
    m_thermometer = new QProgressBar(this);
    m_thermometer->setRange(0, 100);
    m_thermometer->setValue(0);
    m_thermometer->setAccessibleName(QStringLiteral("Progress"));
    m_thermometer->hide();
    m_lower = new QLabel(this);
    m_lower->setAlignment(Qt::AlignCenter);
    m_lower->setAccessibleName(QStringLiteral("Completed"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));
    layout->addWidget(m_upper);
    layout->addWidget(m_thermometer);
    layout->addWidget(m_lower);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::cancelPressed);
    const platform::DialogUnits du(*this);
    setMinimumSize(du.x(162), du.y(64));
    m_cancel->setFocus();
}

void ProgressWindow::setTexts(const QString& title, const QString& upper)
{
    setWindowTitle(title);
    m_upper->setText(upper);
    m_upper->setVisible(!upper.isEmpty());
}

void ProgressWindow::showThermometer()
{
    m_thermometer->show();
}

void ProgressWindow::setProgress(int percent, const QString& lower, bool redrawAlways)
{
    m_lower->setText(lower);
    m_lower->setAccessibleDescription(lower);
    if (percent != m_thermometer->value() || redrawAlways) {
        m_thermometer->setValue(percent);
        update();
    }
}

int ProgressWindow::thermometer() const
{
    return m_thermometer->value();
}

QString ProgressWindow::lowerText() const
{
    return m_lower->text();
}

void ProgressWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        emit cancelPressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    if (m_closable) {
        event->accept();
        return;
    }
    event->ignore();
    emit cancelPressed();
}

} // namespace fundora::reports
