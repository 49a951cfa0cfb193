#include "reports/BandedPages.h"

namespace fundora::reports {

QString pageNumberText(int page)
{
    return QStringLiteral("Page %1").arg(page);
}

std::optional<QPoint> BandedPages::place(int height)
{
    const QRect area = m_report.detailArea();
    if (m_page && m_used > 0 && m_used + height > area.height() && !endPage())
        return std::nullopt;
    if (!m_page) {
        m_page.emplace();
        ++m_pageNumber;
        m_used = 0;
        m_report.pageHeader(*m_page);
    }
    const QPoint origin(area.left(), area.top() + m_used);
    m_used += height;
    return origin;
}

bool BandedPages::band(int height, Painter paint)
{
    const std::optional<QPoint> origin = place(height);
    if (!origin)
        return false;
    (m_report.*paint)(*m_page, *origin);
    return true;
}

bool BandedPages::detail()
{
    return band(m_report.detailHeight(), &BandLayout::detail);
}

bool BandedPages::groupFooter()
{
    return band(m_report.groupFooterHeight(), &BandLayout::groupFooter);
}

bool BandedPages::endPage()
{
    if (!m_page)
        return true;
    m_report.pageFooter(*m_page, m_pageNumber);
    const bool ok = m_queue.append(*m_page);
    if (!ok)
        m_error = m_queue.errorString();
    m_page.reset();
    return ok;
}

} // namespace fundora::reports
