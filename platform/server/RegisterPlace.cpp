#include "platform/server/RegisterPlace.h"

#include "platform/server/ServerEngine.h"
#include "platform/store/SqliteEngine.h"

namespace fundora::platform {

RegisterPlace serverRegister(const QString& uri)
{
    return RegisterPlace::onServer(uri, qEnvironmentVariable("FUNDORA_SERVER_SCHEMA", QStringLiteral("fundora")));
}

std::unique_ptr<StoreEngine> engineFor(const RegisterPlace& place)
{
    if (place.isOnServer())
        return std::make_unique<ServerEngine>(place.serverUri, place.serverSchema);
    return std::make_unique<SqliteEngine>(place.directory, true);
}

} // namespace fundora::platform
