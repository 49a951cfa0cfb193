#pragma once

#include <QString>

namespace fundora::platform {

// The text without its trailing blanks (fixed-length fields are padded with them).
inline QString trimmedRight(QString s)
{
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

} // namespace fundora::platform
