#include "platform/report/ReportOutput.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace fundora::platform {

namespace {

// Paints every page through `painter` on a device whose newPage() moves on.
template <class Device>
bool paintPages(const PageQueue& pages, Device& device, QString* error, const PageProgress& progress, int from = 1, int to = 0)
{
    if (to <= 0 || to > pages.count())
        to = pages.count();
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("The output could not be started.");
        return false;
    }
    // The whole sheet: report layouts place everything from the paper's corner.
    const QRectF paper(QPointF(0, 0), QSizeF(device.width(), device.height()));
    for (int n = from; n <= to; ++n) {
        const std::optional<ReportPage> page = pages.page(n - 1);
        if (!page) {
            if (error)
                *error = QStringLiteral("Page %1 of the report could not be read back.").arg(n);
            painter.end();
            return false;
        }
        if (n > from)
            device.newPage();
        page->paint(painter, paper);
        if (progress && !progress(n - from + 1, to - from + 1)) {
            painter.end();
            if (error)
                *error = QStringLiteral("Stopped.");
            return false;
        }
    }
    return painter.end();
}

} // namespace

QImage renderPage(const ReportPage& page, int width)
{
    QImage image(width, width * PaperHeight / PaperWidth, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.paint(painter, QRectF(0, 0, image.width(), image.height()));
    return image;
}

bool writePdf(const PageQueue& pages, const QString& path, const QString& title, QString* error, const PageProgress& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); // private, as the data files are
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Fundora"));
        pdf.setResolution(1200);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!paintPages(pages, pdf, error, progress))
            return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool printPages(const PageQueue& pages, QPrinter& printer, QString* error, const PageProgress& progress)
{
    printer.setFullPage(true);
    int from = 1, to = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        from = std::max(1, printer.fromPage());
        to = printer.toPage();
    }
    return paintPages(pages, printer, error, progress, from, to);
}

bool writeRows(const PageQueue& pages, const QString& path, QString* error)
{
    QFile rows(pages.rowsFile());
    QSaveFile out(path);
    if (!rows.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, out.errorString());
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); // private, as the data files are
    while (!rows.atEnd())
        out.write(rows.read(1 << 16));
    if (!out.commit()) {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

} // namespace fundora::platform
