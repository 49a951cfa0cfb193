#pragma once

#include "platform/server/ServerConnection.h"

namespace fundora::platform {

// Which stations work on a register kept on a server, seen from any
// computer: each running program holds a shared advisory lock of the
// register's database for as long as its session lasts (the server lets it
// go when the program ends or its connection drops, however that happens),
// and the backup utility counts them or takes the lock alone for a restore.
// The local check for a running program cannot see another computer; this
// one sees every station of the register (the schema `schemaName`; several
// registers may share a database).
class StationPresence {
public:
    StationPresence(ServerConnection& connection, QString schemaName) : m_connection(connection), m_schema(std::move(schemaName)) {}

    // Says that this station works on the register. Refused (32, "a restore
    // of the register is running") while the utility holds it alone.
    FileError announce();
    // How many stations hold the register, this one not counted.
    FileError others(int& count);
    // Takes the register alone, for a restore: false (and nothing held) while
    // any station is present. `release` lets it go.
    FileError holdAlone(bool& held);
    FileError release();

private:
    QStringList keys() const;
    ServerConnection& m_connection;
    QString m_schema;
};

} // namespace fundora::platform
