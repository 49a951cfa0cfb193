#pragma once

#include "platform/server/RegisterPlace.h"
#include "platform/server/ServerConnection.h"
#include "platform/server/StationPresence.h"
#include "platform/store/FileDefinition.h"

#include <functional>
#include <vector>

namespace fundora::backup {

// A register on a server as the backup utility works on it: its tables are
// written into data files of a directory, of the same layout as a register
// in a directory, so that its sets are made and read exactly as a
// directory's; and the data files of a directory are loaded back into the
// tables. The utility knows no layout of its own: it takes those the
// register keeps beside its tables (registerFiles).
class ServerRegister {
public:
    explicit ServerRegister(const platform::RegisterPlace& place);

    // The server and schema, for messages (the URI without its password).
    QString shown() const;
    platform::ServerConnection& connection() { return m_connection; }

    // Keeps a second copy of the utility, on this computer or another, off
    // the register while held (false when another copy holds it).
    platform::FileError holdUtility(bool& held);
    // How many stations of Fundora work on the register now.
    platform::FileError stations(int& count);
    // Takes the register alone for a restore: no station may start (or
    // write) until release(); false while any station is there.
    platform::FileError holdAlone(bool& held);
    void release();

    // Writes every table of the register into `directory` as its data file
    // (ACCOUNTS.TPS, ...), all from one snapshot: stations may go on writing.
    // `only` names the files to write (by their names on disk); empty: all.
    // The files written are added to `written`.
    platform::FileError writeFiles(const QString& directory, QStringList& written, const QStringList& only = {});

    // Replaces the records of the tables of the data files `names` of
    // `directory` by theirs, in one transaction: all of them or nothing. The
    // register must be held alone (but to load the utility's own file, which
    // no station uses). A table the register lacks is made, in the same
    // transaction, when its layout is among `known` (the utility's own file);
    // a file of another layout than its table, or of none the register
    // knows, stops the load before anything changed. The records' row
    // versions are raised above any the table held, so that a record a
    // station read before the load can never be written back over a loaded one.
    platform::FileError loadFiles(const QString& directory, const QStringList& names, const std::vector<platform::FileDef>& known = {},
                                  const std::function<void(const QString& file)>& progress = {});

private:
    platform::ServerConnection m_connection;
    QString m_schema;
    platform::StationPresence m_presence;
};

} // namespace fundora::backup
