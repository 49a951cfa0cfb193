#include "reports/UpdateDatesWindow.h"

#include "core/GlobalState.h"
#include "core/Help.h"
#include "core/OpenFile.h"
#include "core/WindowPosition.h"
#include "engine/DateSpinBox.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::reports {

namespace {

const QString DatesProcedure = QStringLiteral("UpdateDates");

QPushButton* button(QWidget* parent, const QString& text, const QString& name)
{
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(name);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

} // namespace

UpdateDatesWindow::UpdateDatesWindow(core::DataFiles& files, QWidget* parent) : QDialog(parent), m_files(files)
{
    setObjectName(DatesProcedure);
    setWindowTitle(QStringLiteral("Date Ranges for Report"));
    m_holdsFiles = core::acquireFile(files, core::FileId::Accounts);
    if (m_holdsFiles && !core::acquireFile(files, core::FileId::Transactions)) {
        core::releaseFile(files, core::FileId::Accounts);
        m_holdsFiles = false;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Input Range of Dates for Report Selected..."), this));
    auto* grid = new QGridLayout;
    m_low = new DateSpinBox(this);
    m_high = new DateSpinBox(this);
    m_low->setValue(core::glo().lowDate);
    m_high->setValue(core::glo().highDate);
    m_low->setAccessibleName(QStringLiteral("Start Date"));
    m_high->setAccessibleName(QStringLiteral("End Date"));
    auto* lowLabel = new QLabel(QStringLiteral("&Start Date:"), this);
    auto* highLabel = new QLabel(QStringLiteral("&End Date:"), this);
    lowLabel->setBuddy(m_low);
    highLabel->setBuddy(m_high);
    grid->addWidget(lowLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(m_low, 0, 1);
    grid->addWidget(highLabel, 1, 0, Qt::AlignRight);
    grid->addWidget(m_high, 1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    QPushButton* ok = button(this, QStringLiteral("OK"), QStringLiteral("OK"));
    QPushButton* cancel = button(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    auto* help = new QPushButton(QStringLiteral("?"), this);
    help->setAccessibleName(QStringLiteral("Help"));
    help->setToolTip(QStringLiteral("Help"));
    help->setAutoDefault(false);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    layout->addLayout(buttons);
    setTabOrder(m_low, m_high);
    setTabOrder(m_high, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);

    // The globals follow every step and every date typed.
    connect(m_low, &QSpinBox::valueChanged, this, [](int d) { core::glo().lowDate = d; });
    connect(m_high, &QSpinBox::valueChanged, this, [](int d) { core::glo().highDate = d; });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { core::showHelp(QStringLiteral("~DateRangesForm")); });
}

UpdateDatesWindow::~UpdateDatesWindow()
{
    if (m_holdsFiles) {
        core::releaseFile(m_files, core::FileId::Transactions);
        core::releaseFile(m_files, core::FileId::Accounts);
    }
}

void UpdateDatesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    core::restoreWindowPosition(*this, QDir::current().filePath(core::WindowPositionFile), DatesProcedure);
    m_low->setFocus();
    m_low->selectAll();
}

void UpdateDatesWindow::done(int result)
{
    // A date still being typed counts as entered, however the window closes.
    m_low->interpretText();
    m_high->interpretText();
    core::saveWindowPosition(*this, QDir::current().filePath(core::WindowPositionFile), DatesProcedure);
    QDialog::done(result);
}

} // namespace fundora::reports
