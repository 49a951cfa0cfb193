#pragma once

#include <QString>
#include <QVector>

namespace fundora::app {

struct OnLineLink {
    QString text;
    QString address;
};

// The eight pages of the OnLine menu: section [OnLine] of fundora.INI, keys
// Text1..Text8 and Url1..Url8; a missing key takes its default.
QVector<OnLineLink> onLineLinks(const QString& iniPath);

} // namespace fundora::app
