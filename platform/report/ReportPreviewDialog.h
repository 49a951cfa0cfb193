#pragma once

#include "platform/report/PageQueue.h"

#include <QDialog>

class QLabel;
class QListView;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace fundora::platform {

class PageListModel;

// The preview of a report's pages: the page list with thumbnails, the page
// shown at a zoom (or fitted to the window's width), paging by buttons and
// keys (Page Up/Down, Home, End), and printing, saving as PDF and as CSV
// from here. Closing it drops the report.
class ReportPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(const PageQueue& pages, const QString& title, QWidget* parent = nullptr);

    int currentPage() const { return m_page; } // 1-based
    void showPage(int page);
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void fitWidth();
    bool fitsWidth() const { return m_fitWidth; }

    // What the buttons do (the file and print dialogs are asked here).
    void print();
    void saveAsPdf();
    void saveAsCsv();
    // Without dialogs, for callers that know the file.
    bool saveAsPdf(const QString& path, QString* error);
    bool saveAsCsv(const QString& path, QString* error);

    // The page as shown now (for tests and screenshots).
    QImage shownImage() const;
    // 1 when something was printed or saved, else 2.
    int result() const { return m_delivered ? 1 : 2; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();
    void report(const QString& text);

    const PageQueue& m_pages;
    QString m_title;
    PageListModel* m_model;
    QListView* m_list;
    QScrollArea* m_scroll;
    QLabel* m_image;
    QSpinBox* m_pageBox;
    QLabel* m_ofPages;
    QLabel* m_zoomText;
    int m_page = 1;
    double m_zoom = 1.0;
    bool m_fitWidth = true;
    bool m_delivered = false;
};

} // namespace fundora::platform
