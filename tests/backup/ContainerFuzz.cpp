// Mutates good backup sets and restores each through the utility's command
// line, as an attacker or a failing disk would hand them over, and counts what
// must never happen: crashes, hangs, files written outside the program
// directory, data files lost or replaced by a damaged file, refused restores
// that exit 0, and temporary files left behind.
//
// With --server URI the sets are restored into a register on that server
// (a schema of its own, dropped at the end), moved there from the same data
// files before every case: a refused restore must leave every table as it
// was, and the utility's work directory must go.
//
// Usage: backup_fuzz --vaultine PATH --pklaunch PATH [--cases N] [--seed S] [--server URI]
// Exit code 0 when every count is 0.
#include "backup/ContainerRecord.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "moving/RegisterCopy.h"
#include "platform/MessageService.h"
#include "platform/server/ServerTables.h"
#include "platform/server/TableCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <random>

using namespace fundora;
using backup::ContainerHeader;
using backup::RecordKind;
using backup::RecordSize;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

bool sh(const QString& script)
{
    return QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}) == 0;
}

// "ok", or the first problem SQLite's full integrity check finds.
QString integrity(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open");
    }
    sqlite3_stmt* st = nullptr;
    QString result = QStringLiteral("not a database");
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden))
        QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
}

// The program directory every case starts from: real data files and the compressor.
bool makeProgram(const QString& program, const QString& launcher)
{
    QDir().mkpath(program);
    QFile::copy(launcher, QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")));
    QFile::setPermissions(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    core::DataFiles files(program);
    for (core::FileId id : core::allFiles())
        if (!core::acquireFile(files, id))
            return false;
    core::FileTransaction tx(files.store);
    for (int a = 1; a <= 30; ++a) {
        files.accounts.clear();
        files.accounts.record.sysId = a;
        files.accounts.record.creditCardVendor = QStringLiteral("Vendor %1").arg(a);
        if (!files.accounts.add().ok())
            return false;
        for (int t = 0; t < 40; ++t) {
            files.transactions.clear();
            files.transactions.record.sysId = a;
            files.transactions.record.transactionType = QStringLiteral("C");
            files.transactions.record.transactionDescription = QStringLiteral("Purchase %1").arg(t);
            if (!files.transactions.add().ok())
                return false;
        }
        files.memoCards.clear();
        files.memoCards.record.type = QStringLiteral("ACC");
        files.memoCards.record.firstId = a;
        files.memoCards.record.cardMemo = QString(300, u'm');
        if (!files.memoCards.add().ok())
            return false;
    }
    return tx.commit().ok();
}

// Archives a restore must refuse, each as the payload of a compressed entry.
QList<QByteArray> hostileArchives(const QString& work, const QString& outside)
{
    QList<QByteArray> out;
    const QString d = QDir(work).filePath(QStringLiteral("hostile"));
    const QStringList scripts = {
        // Two members.
        QStringLiteral("printf a > ACCOUNTS.TPS; printf b > OTHER.TPS; tar -I zstd -cf x ACCOUNTS.TPS OTHER.TPS"),
        // A member that climbs out.
        QStringLiteral("printf a > f; tar -I zstd -cf x --transform='s,^f$,../../ESCAPED.TPS,' f"),
        // An absolute member name.
        QStringLiteral("printf a > f; tar -I zstd -cf x --transform='s,^f$,%1/ABS.TPS,' -P f").arg(outside),
        // A symbolic link in place of the file, and one to a directory outside, then a file through it.
        QStringLiteral("ln -s %1 ACCOUNTS.TPS; tar -I zstd -cf x ACCOUNTS.TPS").arg(outside),
        QStringLiteral("ln -s %1 d; mkdir -p e; printf a > e/ACCOUNTS.TPS; tar -I zstd -cf x d --transform='s,^e,d,' e/ACCOUNTS.TPS")
            .arg(outside),
        // A hard link.
        QStringLiteral("printf a > f; ln f ACCOUNTS.TPS; tar -I zstd -cf x f ACCOUNTS.TPS"),
        // An executable member, a directory, a member of another name.
        QStringLiteral("printf '#!/bin/sh\\ntouch %1/RAN' > ACCOUNTS.TPS; chmod 755 ACCOUNTS.TPS; tar -I zstd -cf x ACCOUNTS.TPS")
            .arg(outside),
        QStringLiteral("mkdir ACCOUNTS.TPS; tar -I zstd -cf x ACCOUNTS.TPS"),
        QStringLiteral("printf a > PKLAUNCH.PIF; tar -I zstd -cf x PKLAUNCH.PIF"),
        // A bomb: 64 MB of zeros.
        QStringLiteral("head -c 67108864 /dev/zero > ACCOUNTS.TPS; tar -I zstd -cf x ACCOUNTS.TPS"),
        // Not an archive at all.
        QStringLiteral("head -c 3000 /dev/urandom > x"),
    };
    for (const QString& s : scripts) {
        QDir(d).removeRecursively();
        QDir().mkpath(d);
        if (sh(QStringLiteral("cd '%1' && %2").arg(d, s)))
            out << readAll(QDir(d).filePath(QStringLiteral("x")));
    }
    QDir(d).removeRecursively();
    return out;
}

// Where the records of a set lie: each container's bytes and the header records in them.
struct Set {
    QList<QByteArray> containers;
};

Set loadSet(const QString& dir)
{
    Set s;
    for (int n = 1; QFile::exists(QDir(dir).filePath(QStringLiteral("%1.BKP").arg(n))); ++n)
        s.containers << readAll(QDir(dir).filePath(QStringLiteral("%1.BKP").arg(n)));
    return s;
}

void saveSet(const Set& s, const QString& dir)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    for (qsizetype i = 0; i < s.containers.size(); ++i)
        writeAll(QDir(dir).filePath(QStringLiteral("%1.BKP").arg(i + 1)), s.containers[i]);
}

QList<qsizetype> headerOffsets(const QByteArray& c)
{
    QList<qsizetype> out;
    for (qsizetype at = 0; at + RecordSize <= c.size(); at += RecordSize)
        if (ContainerHeader::kindOf(c.mid(at, 5)) != RecordKind::Data)
            out << at;
    return out;
}

// One mutation of a good set, chosen by `r`; returns its name.
QString mutate(Set& s, std::mt19937& r, const QList<QByteArray>& hostile)
{
    auto pick = [&](auto n) { return static_cast<qsizetype>(r() % static_cast<unsigned>(std::max<qsizetype>(1, n))); };
    QByteArray& c = s.containers[pick(s.containers.size())];
    const QList<qsizetype> headers = headerOffsets(c);
    const qsizetype h = headers.isEmpty() ? 0 : headers[pick(headers.size())];
    auto setInt = [&](qsizetype at, std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            c[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    static const QList<QByteArray> names = {"../ESCAPED.TPS", "/tmp/ESCAPED.TPS", "PKLAUNCH.PIF", "STOWEL.INI",   "ACCOUNTS.TPS",
                                            "TRANSACT.TPS",   "CFG.TPS",          "A/B.TPS",      "..",           ".TPS",
                                            "X.TPS\n",        "NUL\x01.TPS",      "fundora.INI",  "\xe9T\xe9.TPS"};
    switch (r() % 12) {
    case 0: {
        const QByteArray n = names[pick(names.size())];
        c.replace(h + 5, 80, n.leftJustified(80, ' ', true));
        return QStringLiteral("name");
    }
    case 1: {
        const std::int32_t sizes[] = {0, 1, -1, 1023, 1024, 1025, 0x7fffffff, -0x7fffffff, static_cast<std::int32_t>(r() % 200000)};
        setInt(h + 85, sizes[pick(std::size(sizes))]);
        return QStringLiteral("size");
    }
    case 2: c.replace(h + 111, 3, r() % 2 ? "YES" : "NO "); return QStringLiteral("compression flag");
    case 3: c[h + 174] = static_cast<char>(r() % 4); return QStringLiteral("compression type");
    case 4: {
        const QByteArray n = names[pick(names.size())];
        c.replace(h + 114, 60, n.leftJustified(60, ' ', true));
        return QStringLiteral("compressed name");
    }
    case 5:
        c[h + 109] = static_cast<char>(r() % 5);
        setInt(h + 97, static_cast<std::int32_t>(r() % 6) - 1);
        return QStringLiteral("disk and set number");
    case 6: c.truncate(pick(c.size())); return QStringLiteral("truncated");
    case 7:
        for (int i = 0, n = 1 + static_cast<int>(r() % 20); i < n && !c.isEmpty(); ++i)
            c[pick(c.size())] = static_cast<char>(r());
        return QStringLiteral("bytes flipped");
    case 8: {
        // A hostile archive as the payload of a compressed entry.
        const QByteArray payload = hostile.isEmpty() ? QByteArray() : hostile[pick(hostile.size())];
        ContainerHeader head;
        head.fileName = r() % 2 ? QByteArray("ACCOUNTS.TPS") : names[pick(names.size())];
        head.fileSize = static_cast<std::int32_t>(payload.size());
        head.diskNumber = 1;
        head.compressed = true;
        head.path = r() % 3 ? QByteArray("ACCOUNTS.TPS") : names[pick(names.size())];
        head.compressionType = 1;
        head.version = backup::FormatVersion;
        QByteArray blocks = payload;
        blocks.append(QByteArray((RecordSize - blocks.size() % RecordSize) % RecordSize, '\0'));
        c.insert(h, head.encode() + blocks);
        return QStringLiteral("hostile archive");
    }
    case 9:
        if (s.containers.size() > 1) {
            s.containers.removeAt(pick(s.containers.size()));
            return QStringLiteral("container missing");
        }
        c.append(c.mid(0, RecordSize));
        return QStringLiteral("record repeated");
    case 10:
        if (headers.size() > 1) {
            const qsizetype other = headers[pick(headers.size())];
            const QByteArray a = c.mid(h, RecordSize), b = c.mid(other, RecordSize);
            c.replace(h, RecordSize, b);
            c.replace(other, RecordSize, a);
        }
        return QStringLiteral("headers swapped");
    default: c.replace(h + 175, 5, r() % 2 ? "3.5  " : "\0\0\0\0\0"); return QStringLiteral("version");
    }
}

// The register on a server the cases restore into: made again from the data
// files of `base` before each case, and its tables' digests read after it.
struct ServerTarget {
    platform::RegisterPlace place;
    bool reset(const QString& base)
    {
        platform::ServerConnection c(place.serverUri);
        if (!c.exec(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(place.serverSchema)).ok())
            return false;
        std::vector<platform::FileDef> layouts;
        core::DataFiles files(base);
        for (core::FileId id : core::allFiles())
            layouts.push_back(files.file(id).def());
        const moving::CopyOutcome copied = moving::copyToServer(base, layouts, place);
        if (!copied.ok())
            std::fprintf(stderr, "backup_fuzz: %s\n", qPrintable(copied.error));
        return copied.ok();
    }
    // Every table's digest by its label; empty when the register could not be read.
    QMap<QString, QByteArray> digests() const
    {
        platform::ServerConnection c(place.serverUri);
        std::vector<platform::FileDef> tables;
        QMap<QString, QByteArray> out;
        if (!platform::registerFiles(c, place.serverSchema, tables).ok())
            return {};
        for (const platform::FileDef& def : tables) {
            platform::RecordDigest d;
            if (!platform::digestOfTable(c, place.serverSchema, def, d).ok())
                return {};
            out[def.label] = d.hash + QByteArray::number(d.records);
        }
        return out;
    }
    void drop() const
    {
        platform::ServerConnection c(place.serverUri);
        c.exec(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(place.serverSchema));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    QString vaultine, launcher, serverUri;
    int cases = 200;
    unsigned seed = 1;
    const QStringList a = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < a.size(); i += 2) {
        if (a[i] == QStringLiteral("--vaultine"))
            vaultine = a[i + 1];
        else if (a[i] == QStringLiteral("--pklaunch"))
            launcher = a[i + 1];
        else if (a[i] == QStringLiteral("--cases"))
            cases = a[i + 1].toInt();
        else if (a[i] == QStringLiteral("--seed"))
            seed = a[i + 1].toUInt();
        else if (a[i] == QStringLiteral("--server"))
            serverUri = a[i + 1];
    }
    if (vaultine.isEmpty() || launcher.isEmpty() || cases <= 0) {
        std::fprintf(stderr, "usage: backup_fuzz --vaultine PATH --pklaunch PATH [--cases N] [--seed S] [--server URI]\n");
        return 2;
    }
    QTemporaryDir work;
    const QString base = work.filePath(QStringLiteral("base"));
    const QString outside = work.filePath(QStringLiteral("sandbox/outside"));
    QDir().mkpath(outside);
    if (!makeProgram(base, launcher)) {
        std::fprintf(stderr, "backup_fuzz: the data files could not be made\n");
        return 1;
    }
    // Good sets: compressed in one container, and plain over several.
    const QString sets = work.filePath(QStringLiteral("sets"));
    auto backupInto = [&](const QString& to, const QStringList& extra) {
        QProcess p;
        p.start(vaultine, QStringList{QStringLiteral("--dir"), base, QStringLiteral("--backup"), QStringLiteral("--to"), to} + extra);
        return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    if (!backupInto(QDir(sets).filePath(QStringLiteral("compressed")), {}) ||
        !backupInto(QDir(sets).filePath(QStringLiteral("plain")),
                    {QStringLiteral("--no-compress"), QStringLiteral("--volume-size"), QStringLiteral("40000")})) {
        std::fprintf(stderr, "backup_fuzz: the good sets could not be made\n");
        return 1;
    }
    const QList<Set> good = {loadSet(QDir(sets).filePath(QStringLiteral("compressed"))),
                             loadSet(QDir(sets).filePath(QStringLiteral("plain")))};
    const QList<QByteArray> hostile = hostileArchives(work.path(), outside);
    QMap<QString, QByteArray> original;
    for (const QString& n : QDir(base).entryList({QStringLiteral("*.TPS")}, QDir::Files))
        original[n] = readAll(QDir(base).filePath(n));

    // On a server: the register's schema, and the user's own directory (where the utility works) inside the sandbox.
    const QString userData = work.filePath(QStringLiteral("sandbox/data"));
    ServerTarget server{platform::RegisterPlace::onServer(
        serverUri, QStringLiteral("fuzz_%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')))};
    QMap<QString, QByteArray> serverOriginal;
    if (!serverUri.isEmpty()) {
        QDir().mkpath(userData + QStringLiteral("/fundora"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(userData));
        qputenv("FUNDORA_SERVER_SCHEMA", server.place.serverSchema.toUtf8());
        if (!server.reset(base) || (serverOriginal = server.digests()).isEmpty()) {
            std::fprintf(stderr, "backup_fuzz: the register on the server could not be made\n");
            return 1;
        }
    }

    std::mt19937 random(seed);
    int crashes = 0, hangs = 0, outsideWrites = 0, lost = 0, damaged = 0, refusedButZero = 0, leftovers = 0, refused = 0, restored = 0;
    const QString sandbox = work.filePath(QStringLiteral("sandbox"));
    const QString program = QDir(sandbox).filePath(QStringLiteral("program"));
    const QString set = QDir(sandbox).filePath(QStringLiteral("set"));
    for (int n = 0; n < cases; ++n) {
        QDir(program).removeRecursively();
        copyTree(base, program);
        if (!serverUri.isEmpty() && !server.reset(base)) {
            std::fprintf(stderr, "backup_fuzz: the register on the server could not be made again\n");
            return 1;
        }
        Set s = good[static_cast<qsizetype>(random() % 2)];
        QString what;
        for (int m = 0, count = 1 + static_cast<int>(random() % 3); m < count; ++m)
            what += (m ? QStringLiteral("+") : QString()) + mutate(s, random, hostile);
        saveSet(s, set);
        QProcess p;
        QStringList args{QStringLiteral("--restore"), QStringLiteral("--from"), set};
        args = (serverUri.isEmpty() ? QStringList{QStringLiteral("--dir"), program} : QStringList{QStringLiteral("--server"), serverUri}) +
               args;
        if (random() % 2)
            args << QStringLiteral("--allow-older-set");
        p.start(vaultine, args);
        const bool ended = p.waitForFinished(60000);
        if (!ended) {
            p.kill();
            p.waitForFinished();
            ++hangs;
            std::printf("case %d (%s): hang\n", n, qPrintable(what));
            continue;
        }
        const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        if (code < 0 || code > 3) {
            ++crashes;
            std::printf("case %d (%s): crash or unknown exit %d\n", n, qPrintable(what), code);
        }
        code == 0 ? ++restored : ++refused;
        QDirIterator it(sandbox, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            const bool userOwn = !serverUri.isEmpty() && (f == userData || f.startsWith(userData + u'/'));
            if (userOwn && QFileInfo(f).fileName().startsWith(QStringLiteral(".vaultine"))) {
                ++leftovers;
                std::printf("case %d (%s): left %s\n", n, qPrintable(what), qPrintable(f));
            } else if (!userOwn && !f.startsWith(program + u'/') && !f.startsWith(set + u'/') && f != program && f != set && f != outside) {
                ++outsideWrites;
                std::printf("case %d (%s): wrote %s\n", n, qPrintable(what), qPrintable(f));
            }
        }
        if (!serverUri.isEmpty() && code != 0 && server.digests() != serverOriginal) {
            ++refusedButZero;
            std::printf("case %d (%s): refused but the register on the server changed\n", n, qPrintable(what));
        }
        for (auto i = original.cbegin(); i != original.cend() && serverUri.isEmpty(); ++i) {
            const QString f = QDir(program).filePath(i.key());
            if (!QFile::exists(f)) {
                ++lost;
                std::printf("case %d (%s): %s lost\n", n, qPrintable(what), qPrintable(i.key()));
            } else if (readAll(f) != i.value()) {
                if (code != 0) {
                    ++refusedButZero; // refused, yet a data file changed
                    std::printf("case %d (%s): refused but %s changed\n", n, qPrintable(what), qPrintable(i.key()));
                } else if (const QString problem = integrity(f); problem != QStringLiteral("ok")) {
                    ++damaged;
                    if (qEnvironmentVariableIsSet("FUZZ_KEEP"))
                        QFile::copy(f, qEnvironmentVariable("FUZZ_KEEP") + QStringLiteral("/case%1-%2").arg(n).arg(i.key()));
                    std::printf("case %d (%s): %s replaced by a damaged file: %s\n", n, qPrintable(what), qPrintable(i.key()),
                                qPrintable(problem));
                }
            }
        }
        for (const QString& f : QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            const QString u = f.toUpper();
            if (u.endsWith(QStringLiteral(".BKX")) || u.endsWith(QStringLiteral(".BKY")) || u.endsWith(QStringLiteral(".PART")) ||
                f.startsWith(QStringLiteral(".vaultine")) || f.startsWith(QStringLiteral(".pklaunch"))) {
                ++leftovers;
                std::printf("case %d (%s): left %s\n", n, qPrintable(what), qPrintable(f));
            }
        }
    }
    if (!serverUri.isEmpty())
        server.drop();
    std::printf("%d cases (seed %u): %d restored, %d refused; crashes %d, hangs %d, files written outside %d, data files lost %d, "
                "replaced by a damaged file %d, refused but changed %d, temporary files left %d\n",
                cases, seed, restored, refused, crashes, hangs, outsideWrites, lost, damaged, refusedButZero, leftovers);
    return crashes + hangs + outsideWrites + lost + damaged + refusedButZero + leftovers == 0 ? 0 : 1;
}
