#include "planning/DueNoticeBar.h"

#include "core/OpenFile.h"
#include "platform/IniFile.h"
#include "statements/StatementRecords.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace fundora::planning {

namespace {
const QString Section = QStringLiteral("Notices");
const QString WithinKey = QStringLiteral("DueWithin");
} // namespace

DueNoticeBar::DueNoticeBar(core::DataFiles& files, QString iniPath, QWidget* parent)
    : QFrame(parent), m_files(files), m_iniPath(std::move(iniPath))
{
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Payments due"));
    auto* layout = new QHBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setFocusPolicy(Qt::StrongFocus);
    m_text->setAccessibleName(QStringLiteral("Payments due"));
    layout->addWidget(m_text, 1);
    auto* prompt = new QLabel(QStringLiteral("Notif&y days before:"), this);
    m_within = new QSpinBox(this);
    m_within->setRange(0, 365);
    m_within->setAccessibleName(QStringLiteral("Notify days before"));
    prompt->setBuddy(m_within);
    bool ok = false;
    const int kept = platform::IniFile::load(m_iniPath).value(Section, WithinKey, QString()).toInt(&ok);
    m_within->setValue(ok && kept >= 0 && kept <= 365 ? kept : DefaultDueWithin);
    layout->addWidget(prompt);
    layout->addWidget(m_within);
    m_dismiss = new QPushButton(QStringLiteral("Dis&miss"), this);
    m_dismiss->setAccessibleName(QStringLiteral("Dismiss"));
    layout->addWidget(m_dismiss);
    connect(m_dismiss, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_within, &QSpinBox::valueChanged, this, &DueNoticeBar::withinChanged);
    hide();
}

int DueNoticeBar::within() const
{
    return m_within->value();
}

QString DueNoticeBar::text() const
{
    return m_text->text();
}

void DueNoticeBar::withinChanged(int days)
{
    platform::IniFile ini = platform::IniFile::load(m_iniPath);
    ini.setValue(Section, WithinKey, QString::number(days));
    ini.save(m_iniPath);
    if (m_today != 0)
        check(m_today);
}

void DueNoticeBar::check(platform::DayNumber today)
{
    m_today = today;
    std::vector<DueNotice> notices;
    const core::FileUses uses(m_files, {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()});
    if (!uses.ok() || !dueNotices(m_files, today, within(), notices).ok())
        return; // the warning said why; the notice stays as it was
    QStringList lines;
    for (const DueNotice& n : notices)
        lines << n.text();
    m_text->setText(lines.join(u'\n'));
    setVisible(!lines.isEmpty());
    QStringList fresh;
    for (const QString& line : lines)
        if (!m_shown.contains(line))
            fresh << line;
    m_shown = lines;
    if (!fresh.isEmpty())
        emit noticed(fresh);
}

} // namespace fundora::planning
