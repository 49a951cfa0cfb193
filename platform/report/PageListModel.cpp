#include "platform/report/PageListModel.h"

#include "platform/report/ReportOutput.h"

namespace fundora::platform {

PageListModel::PageListModel(const PageQueue& pages, QObject* parent) : QAbstractListModel(parent), m_pages(pages)
{
}

int PageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_pages.count();
}

QVariant PageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_pages.count())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return QStringLiteral("Page %1").arg(row + 1);
    case Qt::DecorationRole: {
        if (QImage* cached = m_thumbnails.object(row))
            return *cached;
        const std::optional<ReportPage> page = m_pages.page(row);
        if (!page)
            return {};
        auto* image = new QImage(renderPage(*page, ThumbnailWidth));
        const QImage copy = *image;
        m_thumbnails.insert(row, image);
        return copy;
    }
    default: return {};
    }
}

} // namespace fundora::platform
