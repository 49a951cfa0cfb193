#include "moving/RegisterCopy.h"

#include "platform/server/ServerConnection.h"
#include "platform/server/ServerTables.h"
#include "platform/server/TableCopy.h"
#include "platform/store/FileInstall.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"
#include "platform/store/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace fundora::moving {

namespace {

using platform::FileDef;
using platform::FileError;

// How long the copy waits for a station that is writing the files it copies.
constexpr std::chrono::milliseconds Wait{10000};

QString shownServer(const platform::RegisterPlace& place)
{
    return QStringLiteral("%1 (schema %2)").arg(platform::withoutPassword(place.serverUri), place.serverSchema);
}

CopyOutcome failed(const QString& error)
{
    return CopyOutcome{error, {}};
}

// Compares each copied file with its table, and lists them.
QString compare(platform::ServerConnection& server, const QString& schemaName, platform::Store& files, const std::vector<FileDef>& copied,
                std::vector<CopiedFile>& listed)
{
    for (const FileDef& def : copied) {
        platform::RecordDigest inTable, inFile;
        if (FileError e = platform::digestOfTable(server, schemaName, def, inTable); !e.ok())
            return QStringLiteral("%1 could not be read back from the server: %2").arg(def.fileName(), e.text);
        if (FileError e = platform::digestOfFile(files, def, inFile); !e.ok())
            return QStringLiteral("%1 could not be read back: %2").arg(def.fileName(), e.text);
        if (!(inTable == inFile))
            return QStringLiteral("%1 differs after the copy (%2 records in the file, %3 in the table)")
                .arg(def.fileName())
                .arg(inFile.records)
                .arg(inTable.records);
        listed.push_back({def.fileName(), inFile.records});
    }
    return {};
}

} // namespace

CopyOutcome copyToServer(const QString& directory, const std::vector<FileDef>& layouts, const platform::RegisterPlace& to,
                         const CopyProgress& progress)
{
    if (FileError e = platform::finishInterruptedInstall(directory, Wait); !e.ok())
        return failed(QStringLiteral("an unfinished restore in %1 could not be finished: %2").arg(directory, e.text));
    std::vector<FileDef> copied;
    QStringList paths;
    for (const FileDef& def : layouts)
        if (const QString path = QDir(directory).filePath(def.fileName()); QFileInfo::exists(path)) {
            copied.push_back(def);
            paths << path;
        }
    if (copied.empty())
        return failed(QStringLiteral("%1 holds no register: none of its data files is there").arg(directory));

    platform::ServerConnection server(to.serverUri);
    std::vector<FileDef> tables;
    if (FileError e = platform::registerFiles(server, to.serverSchema, tables); !e.ok())
        return failed(QStringLiteral("the register on %1 could not be read: %2").arg(shownServer(to), e.text));
    QStringList holding;
    for (const FileDef& table : tables) {
        platform::ServerRows any;
        if (FileError e = server.exec(
                QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(platform::schema::qualifiedTable(table, to.serverSchema)), {}, &any);
            !e.ok())
            return failed(QStringLiteral("the register on %1 could not be read: %2").arg(shownServer(to), e.text));
        if (any.value(0, 0) == u"t")
            holding << table.label;
    }
    if (!holding.isEmpty())
        return failed(QStringLiteral("the register on %1 already holds records (in %2): a register is copied only into an empty one. "
                                     "Nothing was changed.")
                          .arg(shownServer(to), holding.join(QStringLiteral(", "))));

    // The files are opened (and checked) before they are held still: closing a file would drop the hold's locks on it.
    platform::Store files(directory, platform::Store::Link::None);
    for (const FileDef& def : copied)
        if (FileError e = files.open(def); !e.ok())
            return failed(QStringLiteral("%1 could not be opened: %2").arg(def.fileName(), e.text));
    platform::SnapshotHold hold;
    if (FileError e = hold.hold(paths, Wait); !e.ok())
        return failed(QStringLiteral("the data files could not be held still (%1): another station keeps writing them").arg(e.text));

    if (FileError e = server.exec(QStringLiteral("BEGIN; SET LOCAL lock_timeout = 10000")); !e.ok())
        return failed(e.text);
    // The tables the register lacks are made within the copy (a table of another layout stops it here).
    for (const FileDef& def : copied)
        if (FileError e = platform::openServerTable(server, def, to.serverSchema); !e.ok()) {
            server.exec(QStringLiteral("ROLLBACK"));
            return failed(QStringLiteral("the table of %1 could not be made on %2: %3. Nothing was copied.")
                              .arg(def.fileName(), shownServer(to), e.text));
        }
    for (const FileDef& def : copied) {
        if (progress)
            progress(def.fileName());
        if (FileError e = platform::copyFileToTable(server, to.serverSchema, def, files); !e.ok()) {
            server.exec(QStringLiteral("ROLLBACK"));
            return failed(QStringLiteral("%1 could not be copied: %2. Nothing was copied.").arg(def.fileName(), e.text));
        }
    }
    // Compared before the commit: what another station writes afterwards is not a difference.
    CopyOutcome outcome;
    outcome.error = compare(server, to.serverSchema, files, copied, outcome.files);
    if (!outcome.ok()) {
        server.exec(QStringLiteral("ROLLBACK"));
        outcome.error += QStringLiteral(". Nothing was copied.");
        return outcome;
    }
    if (FileError e = server.exec(QStringLiteral("COMMIT")); !e.ok())
        return failed(QStringLiteral("the copy could not be committed: %1. Nothing was copied.").arg(e.text));
    return outcome;
}

CopyOutcome copyToDirectory(const platform::RegisterPlace& from, const QString& directory, const CopyProgress& progress)
{
    const QDir target(directory);
    if (!target.exists())
        return failed(QStringLiteral("the directory %1 does not exist").arg(directory));
    if (const QStringList there = target.entryList({QStringLiteral("*.TPS"), QStringLiteral("*.tps"), platform::InstallRecordName},
                                                   QDir::Files | QDir::Hidden | QDir::System);
        !there.isEmpty())
        return failed(QStringLiteral("%1 already holds data files (%2): a register is copied only into an empty directory. Nothing was "
                                     "changed.")
                          .arg(directory, there.join(QStringLiteral(", "))));
    QTemporaryDir staging(target.filePath(QStringLiteral(".fundora-copy-XXXXXX")));
    if (!staging.isValid())
        return failed(QStringLiteral("no directory could be made in %1: %2").arg(directory, staging.errorString()));

    platform::ServerConnection server(from.serverUri);
    // One snapshot: stations may go on writing meanwhile.
    if (FileError e = server.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")); !e.ok())
        return failed(QStringLiteral("the register on %1 could not be read: %2").arg(shownServer(from), e.text));
    std::vector<FileDef> tables;
    FileError e = platform::registerFiles(server, from.serverSchema, tables);
    if (e.ok() && tables.empty())
        e = FileError::of(platform::ErrorCode::NoSuchFile, QStringLiteral("it holds no table"));
    for (const FileDef& def : tables) {
        if (!e.ok())
            break;
        if (progress)
            progress(def.fileName());
        e = platform::copyTableToFile(server, from.serverSchema, def, staging.path());
    }
    CopyOutcome outcome;
    if (e.ok()) {
        platform::Store files(staging.path(), platform::Store::Link::None);
        for (const FileDef& def : tables)
            if (e = files.open(def); !e.ok())
                break;
        if (e.ok())
            outcome.error = compare(server, from.serverSchema, files, tables, outcome.files);
    }
    server.exec(QStringLiteral("ROLLBACK")); // it wrote nothing
    if (!e.ok())
        return failed(QStringLiteral("the register on %1 could not be copied: %2. Nothing was copied.").arg(shownServer(from), e.text));
    if (!outcome.ok())
        return outcome;
    std::vector<platform::FileToInstall> install;
    const QString stagingName = QFileInfo(staging.path()).fileName();
    for (const FileDef& def : tables)
        install.push_back({stagingName + u'/' + def.fileName(), def.fileName()});
    if (FileError installed = platform::installFiles(directory, install, Wait); !installed.ok())
        return failed(QStringLiteral("the files could not be put in place in %1: %2").arg(directory, installed.text));
    return outcome;
}

} // namespace fundora::moving
