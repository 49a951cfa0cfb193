#pragma once

#include "platform/store/Record.h"

#include <QString>
#include <QStringList>

namespace fundora::engine {

// One row of a list's page: the record it came from, its position in the
// view, and the texts its columns show (computed by the browse).
struct BrowseRow {
    platform::Record record;
    QString position;
    QStringList columns;
};

} // namespace fundora::engine
