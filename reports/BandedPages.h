#pragma once

#include "platform/report/PageQueue.h"
#include "reports/Report.h"

#include <optional>

namespace fundora::reports {

// Lays bands out on pages: a page starts with its header, detail
// lines stack from the top of the detail area, a band that does not fit
// starts the next page, and a page ends with its footer and goes to the
// queue (to its file) at once.
class BandedPages {
public:
    BandedPages(platform::PageQueue& queue, const BandLayout& layout) : m_queue(queue), m_report(layout) {}

    bool detail();
    bool groupFooter();
    // Ends the page being made, if there is one.
    bool endPage();

    int pagesMade() const { return m_pageNumber - (m_page ? 1 : 0); }
    const QString& error() const { return m_error; }

private:
    using Painter = void (BandLayout::*)(platform::ReportPage&, const QPoint&) const;
    // A band of `height` at the next place, starting a page when needed.
    std::optional<QPoint> place(int height);
    bool band(int height, Painter paint);

    platform::PageQueue& m_queue;
    const BandLayout& m_report;
    std::optional<platform::ReportPage> m_page;
    int m_pageNumber = 0;
    int m_used = 0;
    QString m_error;
};

} // namespace fundora::reports
