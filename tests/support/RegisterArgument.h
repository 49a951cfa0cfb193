#pragma once

#include "platform/server/RegisterPlace.h"

namespace fundora::test {

// How a test names its register on a second station's command line: the
// directory, or "server:SCHEMA" for a schema on the tests' server (whose URI
// the station takes from FUNDORA_TEST_SERVER_URI, as the test did).
inline QString registerArgument(const platform::RegisterPlace& place)
{
    return place.isOnServer() ? QStringLiteral("server:") + place.serverSchema : place.directory;
}

inline platform::RegisterPlace registerFromArgument(const QString& argument)
{
    if (argument.startsWith(QStringLiteral("server:")))
        return platform::RegisterPlace::onServer(qEnvironmentVariable("FUNDORA_TEST_SERVER_URI"), argument.mid(7));
    return platform::RegisterPlace::inDirectory(argument);
}

} // namespace fundora::test
