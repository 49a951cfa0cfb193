#include "backup/ui/DiskInfoWindow.h"

#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"

#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace fundora::backup {

std::optional<ContainerHeader> firstContainerHeader(const QString& location)
{
    for (const QString& name : QDir(location).entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(QStringLiteral(".BKP"), Qt::CaseInsensitive))
            continue;
        QFile f(QDir(location).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        return ContainerHeader::decode(f.read(500));
    }
    return std::nullopt;
}

DiskInfoWindow::DiskInfoWindow(const ContainerHeader& h, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Disk Information"));
    setAccessibleName(windowTitle());
    auto* form = new QFormLayout(this);
    auto row = [&](const QString& prompt, const QString& value) {
        auto* l = new QLabel(value, this);
        l->setAccessibleName(prompt.trimmed());
        form->addRow(prompt, l);
    };
    row(QStringLiteral("Backed up with Version "), h.versionText());
    row(QStringLiteral("Disk No."), QString::number(h.diskNumber));
    row(QStringLiteral("Backup Set:"), QString::number(h.setNumber));
    row(QStringLiteral("Date of Backup:"), platform::formatPicture(std::int64_t{h.createdDate}, u"D4"));
    row(QStringLiteral("Time of Backup:"), platform::formatPicture(std::int64_t{h.createdTime}, u"T3"));
    row(QStringLiteral("First File on this disk:"), h.fileNameText());
    auto* ok = new QPushButton(QStringLiteral("C&ontinue"), this);
    ok->setAccessibleName(QStringLiteral("Continue"));
    form->addRow(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void DiskInfoWindow::showFor(const QString& location, QWidget* parent)
{
    const auto header = firstContainerHeader(location);
    if (!header) {
        platform::MessageService::current().show(
            {QStringLiteral("No Backup File Found!"),
             QStringLiteral("Backup files have an \"ending\" of BKP (as in 1.BKP).No backup files have been found on this diskette."),
             platform::MessageIcon::Exclamation, platform::Button::Ok, platform::Button::Ok});
        return;
    }
    DiskInfoWindow w(*header, parent);
    w.exec();
}

} // namespace fundora::backup
