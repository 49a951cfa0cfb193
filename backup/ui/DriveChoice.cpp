#include "backup/ui/DriveChoice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fundora::backup {

DriveChoice::DriveChoice(const DriveTable& drives, const QString& groupTitle, const QString& pathPrompt, const QString& folderTitle,
                         QWidget* parent)
    : QWidget(parent), m_drives(drives)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(groupTitle, this);
    auto* g = new QVBoxLayout(group);
    m_group = new QButtonGroup(this);
    const char* names[] = {"Drive A", "Drive B", "Other Drive"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(names[i]), group);
        r->setAccessibleName(QString::fromLatin1(names[i]));
        m_group->addButton(r, i + 1);
        g->addWidget(r);
    }
    // Drives A and B appear only where the computer has them.
    m_driveB = static_cast<QRadioButton*>(m_group->button(2));
    const auto a = drives.drive(u'A');
    m_group->button(1)->setVisible(a.has_value());
    const auto b = drives.drive(u'B');
    m_driveB->setVisible(b && b->removable);
    m_letters = new QComboBox(group);
    m_letters->setAccessibleName(QStringLiteral("Drive letter"));
    // The letters this computer has (section [Drives] of vaultine.INI, or the defaults).
    for (const Drive& d : drives.drives())
        m_letters->addItem(QString(d.letter), d.root);
    g->addWidget(m_letters);
    auto* note = new QLabel(QStringLiteral("Network drives should be mapped to a drive letter."), group);
    note->setWordWrap(true);
    m_note = note;
    g->addWidget(note);
    auto* choose = new QPushButton(QStringLiteral("Choose a directory (folder)"), group);
    choose->setAccessibleName(choose->text());
    g->addWidget(choose);
    layout->addWidget(group);
    auto* form = new QFormLayout();
    m_path = new QLineEdit(this);
    m_path->setMaxLength(60);
    m_path->setToolTip(QStringLiteral(" (for example: \\BACKUP\\)"));
    m_path->setPlaceholderText(QStringLiteral("(for example: \\BACKUP\\)"));
    m_path->setAccessibleName(pathPrompt);
    form->addRow(pathPrompt, m_path);
    layout->addLayout(form);
    connect(m_group, &QButtonGroup::idClicked, this, [this] { updateEnabled(); });
    connect(choose, &QPushButton::clicked, this, [this, folderTitle] {
        const QString folder = QFileDialog::getExistingDirectory(this, folderTitle);
        if (folder.isEmpty())
            return;
        // The drive whose root holds the folder becomes the other drive; the rest is the path.
        for (const Drive& d : m_drives.drives()) {
            const QString root = d.root.endsWith(u'/') ? d.root : d.root + u'/';
            if (folder.startsWith(root) || folder + u'/' == root) {
                m_group->button(3)->setChecked(true);
                m_letters->setCurrentText(QString(d.letter));
                QString rest = folder.mid(root.size());
                rest.replace(u'/', u'\\');
                m_path->setText(rest.isEmpty() ? QString() : QStringLiteral("\\") + rest + QStringLiteral("\\"));
                updateEnabled();
                return;
            }
        }
    });
}

void DriveChoice::setFromConfig(const QString& drive, const QString& path)
{
    const QString d = drive.trimmed().toUpper();
    if (d == QStringLiteral("1") && m_drives.drive(u'A'))
        m_group->button(1)->setChecked(true);
    else if (d == QStringLiteral("2") && m_driveB->isVisibleTo(this))
        m_group->button(2)->setChecked(true);
    else {
        m_group->button(3)->setChecked(true);
        const int known = m_letters->findText(d.left(1));
        m_letters->setCurrentIndex(known >= 0 && d.size() == 1 ? known : std::max(0, m_letters->findText(QStringLiteral("C"))));
    }
    m_path->setText(path);
    updateEnabled();
}

void DriveChoice::updateEnabled()
{
    const bool other = m_group->checkedId() == 3;
    m_letters->setEnabled(other);
    m_note->setEnabled(other);
}

QString DriveChoice::configDrive() const
{
    switch (m_group->checkedId()) {
    case 1: return QStringLiteral("1");
    case 2: return QStringLiteral("2");
    default: return m_letters->currentText();
    }
}

QChar DriveChoice::letter() const
{
    switch (m_group->checkedId()) {
    case 1: return u'A';
    case 2: return u'B';
    default: return m_letters->currentText().at(0);
    }
}

QString DriveChoice::path() const
{
    return m_path->text();
}

QString DriveChoice::location(const QString& normalisedPath) const
{
    const auto d = m_drives.drive(letter());
    return d ? targetLocation(*d, normalisedPath) : QString();
}

QString DriveChoice::shownLocation(const QString& normalisedPath) const
{
    if (normalisedPath.startsWith(u'/'))
        return normalisedPath;
    return QString(letter()) + QStringLiteral(":") + (normalisedPath.isEmpty() ? QStringLiteral("\\") : normalisedPath);
}

} // namespace fundora::backup
