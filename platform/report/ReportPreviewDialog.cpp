#include "platform/report/ReportPreviewDialog.h"

#include "platform/MessageService.h"
#include "platform/report/PageListModel.h"
#include "platform/report/ReportOutput.h"
#include "platform/ui/SharedPrinter.h"

#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace fundora::platform {

namespace {

// Pixels per inch of the page at zoom 1.
constexpr int ScreenDpi = 96;
constexpr double MinZoom = 0.25;
constexpr double MaxZoom = 4.0;

QToolButton* toolButton(QWidget* parent, const QString& text, const QString& tip, const QKeySequence& key = {})
{
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(key.isEmpty() ? tip : QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
    b->setAccessibleName(tip);
    if (!key.isEmpty())
        b->setShortcut(key);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

} // namespace

ReportPreviewDialog::ReportPreviewDialog(const PageQueue& pages, const QString& title, QWidget* parent)
    : QDialog(parent), m_pages(pages), m_title(title)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Print Preview - %1").arg(title));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout;
    QToolButton* first = toolButton(this, QStringLiteral("|<"), QStringLiteral("First page"), QKeySequence(Qt::CTRL | Qt::Key_Home));
    QToolButton* previous = toolButton(this, QStringLiteral("<"), QStringLiteral("Previous page (Page Up)"));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setRange(1, std::max(1, pages.count()));
    m_pageBox->setAccessibleName(QStringLiteral("Page"));
    m_ofPages = new QLabel(QStringLiteral("of %1").arg(pages.count()), this);
    QToolButton* next = toolButton(this, QStringLiteral(">"), QStringLiteral("Next page (Page Down)"));
    QToolButton* last = toolButton(this, QStringLiteral(">|"), QStringLiteral("Last page"), QKeySequence(Qt::CTRL | Qt::Key_End));
    QToolButton* zoomOut = toolButton(this, QStringLiteral("-"), QStringLiteral("Zoom out"), QKeySequence::ZoomOut);
    m_zoomText = new QLabel(this);
    m_zoomText->setAccessibleName(QStringLiteral("Zoom"));
    QToolButton* zoomIn = toolButton(this, QStringLiteral("+"), QStringLiteral("Zoom in"), QKeySequence::ZoomIn);
    QToolButton* fit = toolButton(this, QStringLiteral("Fit Width"), QStringLiteral("Fit the page to the window's width"));
    QToolButton* printButton = toolButton(this, QStringLiteral("&Print..."), QStringLiteral("Print the report"), QKeySequence::Print);
    QToolButton* pdf = toolButton(this, QStringLiteral("Save as P&DF..."), QStringLiteral("Save the report as a PDF file"),
                                  QKeySequence(Qt::CTRL | Qt::Key_S));
    QToolButton* csv = toolButton(this, QStringLiteral("Save as &CSV..."), QStringLiteral("Save the report's rows as a CSV file"));
    csv->setEnabled(pages.hasRows());
    QToolButton* close = toolButton(this, QStringLiteral("Close"), QStringLiteral("Close the preview"));
    for (QWidget* w : std::initializer_list<QWidget*>{first, previous, m_pageBox, m_ofPages, next, last, zoomOut, m_zoomText, zoomIn, fit,
                                                      printButton, pdf, csv})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(close);
    layout->addLayout(bar);

    auto* split = new QSplitter(this);
    m_model = new PageListModel(pages, this);
    m_list = new QListView(split);
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(QSize(PageListModel::ThumbnailWidth, PageListModel::ThumbnailWidth * PaperHeight / PaperWidth));
    m_list->setAccessibleName(QStringLiteral("Pages"));
    m_list->setMaximumWidth(PageListModel::ThumbnailWidth + 90);
    m_scroll = new QScrollArea(split);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAccessibleName(QStringLiteral("Page view"));
    m_image = new QLabel;
    m_image->setAccessibleName(QStringLiteral("Page shown"));
    m_scroll->setWidget(m_image);
    m_scroll->viewport()->installEventFilter(this);
    m_scroll->installEventFilter(this);
    m_list->installEventFilter(this);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    resize(1000, 760);

    connect(first, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(previous, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] { showPage(m_pages.count()); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int p) { showPage(p); });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& i) { showPage(i.row() + 1); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { setZoom(m_zoom * 1.25); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { setZoom(m_zoom / 1.25); });
    connect(fit, &QToolButton::clicked, this, &ReportPreviewDialog::fitWidth);
    connect(printButton, &QToolButton::clicked, this, &ReportPreviewDialog::print);
    connect(pdf, &QToolButton::clicked, this, qOverload<>(&ReportPreviewDialog::saveAsPdf));
    connect(csv, &QToolButton::clicked, this, qOverload<>(&ReportPreviewDialog::saveAsCsv));
    connect(close, &QToolButton::clicked, this, &QDialog::reject);

    showPage(1);
    fitWidth();
    m_list->setFocus(); // the page keys work from the list of pages
}

void ReportPreviewDialog::showPage(int page)
{
    page = std::clamp(page, 1, std::max(1, m_pages.count()));
    const bool changed = page != m_page || m_image->pixmap().isNull();
    m_page = page;
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setValue(page);
    }
    const QModelIndex index = m_model->index(page - 1);
    if (index.isValid() && m_list->currentIndex() != index) {
        const QSignalBlocker block(m_list->selectionModel());
        m_list->setCurrentIndex(index);
        m_list->scrollTo(index);
    }
    if (changed)
        render();
}

void ReportPreviewDialog::setZoom(double zoom)
{
    m_fitWidth = false;
    m_zoom = std::clamp(zoom, MinZoom, MaxZoom);
    render();
}

void ReportPreviewDialog::fitWidth()
{
    m_fitWidth = true;
    const int available = m_scroll->viewport()->width() - 24;
    m_zoom = std::clamp(double(available) / (ScreenDpi * PaperWidth / 1000.0), MinZoom, MaxZoom);
    render();
}

bool ReportPreviewDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The page follows the width the view really got, once the layout has given it.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_fitWidth)
        fitWidth();
    if (event->type() == QEvent::KeyPress && (watched == m_list || watched == m_scroll)) {
        // The page keys turn pages wherever the list or the page has the focus.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_PageDown: showPage(m_page + 1); return true;
        case Qt::Key_PageUp: showPage(m_page - 1); return true;
        case Qt::Key_Home: showPage(1); return true;
        case Qt::Key_End: showPage(m_pages.count()); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReportPreviewDialog::render()
{
    m_zoomText->setText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    const std::optional<ReportPage> page = m_pages.page(m_page - 1);
    if (!page) {
        m_image->setText(QStringLiteral("No page"));
        m_image->adjustSize();
        return;
    }
    const QImage image = renderPage(*page, qRound(ScreenDpi * PaperWidth / 1000.0 * m_zoom));
    m_image->setPixmap(QPixmap::fromImage(image));
    m_image->adjustSize();
    m_image->setAccessibleDescription(page->texts().join(u' '));
}

QImage ReportPreviewDialog::shownImage() const
{
    return m_image->pixmap().toImage();
}

void ReportPreviewDialog::report(const QString& text)
{
    MessageService::current().show({QStringLiteral("Report"), text, MessageIcon::Exclamation, Button::Ok, 0, false});
}

void ReportPreviewDialog::print()
{
    QPrinter& printer = sharedPrinter();
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_pages.count());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QProgressDialog progress(QStringLiteral("Printing %1...").arg(m_title), QStringLiteral("Cancel"), 0, m_pages.count(), this);
    progress.setWindowModality(Qt::WindowModal);
    QString error;
    const bool ok = printPages(m_pages, printer, &error, [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    if (ok)
        m_delivered = true;
    else
        report(QStringLiteral("The report was not printed: %1").arg(error));
}

void ReportPreviewDialog::saveAsPdf()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the Report as PDF"), m_title + QStringLiteral(".pdf"),
                                                      QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveAsPdf(path, &error))
        report(error);
}

void ReportPreviewDialog::saveAsCsv()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the Report as CSV"), m_title + QStringLiteral(".csv"),
                                                      QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveAsCsv(path, &error))
        report(error);
}

bool ReportPreviewDialog::saveAsPdf(const QString& path, QString* error)
{
    const bool ok = writePdf(m_pages, path, m_title, error);
    m_delivered = m_delivered || ok;
    return ok;
}

bool ReportPreviewDialog::saveAsCsv(const QString& path, QString* error)
{
    const bool ok = writeRows(m_pages, path, error);
    m_delivered = m_delivered || ok;
    return ok;
}

} // namespace fundora::platform
