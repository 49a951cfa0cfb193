#pragma once

#include "platform/report/PageQueue.h"

#include <QAbstractListModel>
#include <QCache>
#include <QImage>

namespace fundora::platform {

// The pages of a report as a list: "Page N" with a thumbnail, drawn only when
// the list shows it and kept for a limited number of pages.
class PageListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int ThumbnailWidth = 96;

    explicit PageListModel(const PageQueue& pages, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const PageQueue& m_pages;
    mutable QCache<int, QImage> m_thumbnails{64};
};

} // namespace fundora::platform
