#pragma once

#include "platform/store/Store.h"

#include <QString>

#include <memory>

namespace fundora::platform {

// Where a register is kept: a directory of data files, or a schema of a
// PostgreSQL database that a libpq connection URI names.
struct RegisterPlace {
    QString directory;
    QString serverUri;
    QString serverSchema = QStringLiteral("fundora");

    static RegisterPlace inDirectory(QString directory) { return {std::move(directory), {}, QStringLiteral("fundora")}; }
    static RegisterPlace onServer(QString uri, QString schemaName = QStringLiteral("fundora"))
    {
        return {{}, std::move(uri), std::move(schemaName)};
    }
    bool isOnServer() const { return !serverUri.isEmpty(); }
};

// The register on the server `uri` names, in the schema FUNDORA_SERVER_SCHEMA
// names (several registers may share a database), else "fundora".
RegisterPlace serverRegister(const QString& uri);

// The engine of the register at `place`.
std::unique_ptr<StoreEngine> engineFor(const RegisterPlace& place);

} // namespace fundora::platform
