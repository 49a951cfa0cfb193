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

bool BandedPages::detail()
{
    const std::optional<QPoint> origin = place(m_report.detailHeight());
    if (!origin)
        return false;
    m_report.detail(*m_page, *origin);
    return true;
}

bool BandedPages::groupFooter()
{
    const std::optional<QPoint> origin = place(m_report.groupFooterHeight());
    if (!origin)
        return false;
    m_report.groupFooter(*m_page, *origin);
    return true;
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
