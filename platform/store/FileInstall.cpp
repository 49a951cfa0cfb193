#include "platform/store/FileInstall.h"

#include "platform/FileCopy.h"
#include "platform/store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fundora::platform {

namespace {

const QByteArray RecordHeader = QByteArrayLiteral("fundora-install 1");
const QByteArray RecordEnd = QByteArrayLiteral("end");

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") && !name.contains(u'/') &&
           !name.contains(u'\n') && !name.contains(u'\t') && !name.contains(QChar(0));
}

// A staged path as the record names it: "<staging directory>/<file>", both plain names.
bool isStagedPath(const QString& staged)
{
    const QStringList parts = staged.split(u'/');
    return parts.size() == 2 && isPlainName(parts[0]) && isPlainName(parts[1]);
}

enum class Kind { Missing, Regular, Other };

Kind kindOf(const QString& path)
{
    struct stat st {};
    if (::lstat(native(path).constData(), &st) != 0)
        return Kind::Missing;
    return S_ISREG(st.st_mode) ? Kind::Regular : Kind::Other;
}

FileError notRegular(const QString& target)
{
    FileError e = FileError::fromErrno(EINVAL, target);
    e.osText = QStringLiteral("%1 is not a regular file (a link, a directory or a device); nothing was replaced")
                   .arg(QFileInfo(target).fileName());
    return e;
}

// Writes the whole record under a temporary name, syncs it and renames it into place.
FileError writeRecord(const QString& directory, const std::vector<FileToInstall>& files)
{
    QByteArray text = RecordHeader + '\n';
    for (const FileToInstall& f : files)
        text += f.staged.toUtf8() + '\t' + f.target.toUtf8() + '\n';
    text += RecordEnd + '\n';
    const QString record = QDir(directory).filePath(InstallRecordName);
    const QString temporary = record + QStringLiteral(".new");
    if (kindOf(temporary) != Kind::Missing)
        ::unlink(native(temporary).constData());
    const int fd = ::open(native(temporary).constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return FileError::fromErrno(errno, temporary);
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.constData() + done, static_cast<std::size_t>(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(native(temporary).constData());
            return FileError::fromErrno(err, temporary);
        }
        done += n;
    }
    const bool synced = ::fdatasync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!synced) {
        ::unlink(native(temporary).constData());
        return FileError::fromErrno(err, temporary);
    }
    if (std::rename(native(temporary).constData(), native(record).constData()) != 0)
        return FileError::fromErrno(errno, record);
    if (!syncDirectory(directory))
        return FileError::fromErrno(errno, directory);
    return FileError::success();
}

// The files an unfinished record names; nullopt when the record is not whole.
std::optional<std::vector<FileToInstall>> readRecord(const QString& directory)
{
    QFile f(QDir(directory).filePath(InstallRecordName));
    if (kindOf(f.fileName()) != Kind::Regular || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.size() < 3 || lines.first() != RecordHeader || lines[lines.size() - 2] != RecordEnd || !lines.last().isEmpty())
        return std::nullopt;
    std::vector<FileToInstall> files;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() != 2)
            return std::nullopt;
        FileToInstall file{QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1])};
        if (!isStagedPath(file.staged) || !isPlainName(file.target))
            return std::nullopt;
        files.push_back(file);
    }
    return files;
}

// The renames themselves, with every existing target held. A staged file that
// is gone was put in place before (by a run that was then killed).
FileError renameAll(const QString& directory, const std::vector<FileToInstall>& files)
{
    const QDir dir(directory);
    for (const FileToInstall& f : files) {
        const QString staged = dir.filePath(f.staged);
        const QString target = dir.filePath(f.target);
        if (kindOf(staged) != Kind::Regular)
            continue;
        if (::chmod(native(staged).constData(), 0600) != 0)
            return FileError::fromErrno(errno, staged);
        // Under the hold nobody has a transaction on the old file: a journal
        // left beside it belongs to nothing and must not meet the new file.
        const QByteArray journal = native(target) + "-journal";
        if (::unlink(journal.constData()) != 0 && errno != ENOENT)
            return FileError::fromErrno(errno, target + QStringLiteral("-journal"));
        if (std::rename(native(staged).constData(), native(target).constData()) != 0)
            return FileError::fromErrno(errno, target);
    }
    if (!syncDirectory(directory))
        return FileError::fromErrno(errno, directory);
    return FileError::success();
}

FileError removeRecord(const QString& directory)
{
    const QString record = QDir(directory).filePath(InstallRecordName);
    if (::unlink(native(record).constData()) != 0 && errno != ENOENT)
        return FileError::fromErrno(errno, record);
    if (!syncDirectory(directory))
        return FileError::fromErrno(errno, directory);
    return FileError::success();
}

FileError holdTargets(ExclusiveHold& hold, const QString& directory, const std::vector<FileToInstall>& files,
                      std::chrono::milliseconds wait)
{
    const QDir dir(directory);
    for (const FileToInstall& f : files) {
        const QString target = dir.filePath(f.target);
        const Kind kind = kindOf(target);
        if (kind == Kind::Other)
            return notRegular(target);
        if (kind == Kind::Regular) {
            const FileError e = hold.add(target, wait);
            if (!e.ok())
                return e;
        }
    }
    return FileError::success();
}

} // namespace

struct ExclusiveHold::Held {
    sqlite3* db = nullptr;
    bool locked = false;
    ~Held()
    {
        if (locked)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
};

ExclusiveHold::ExclusiveHold() = default;

ExclusiveHold::~ExclusiveHold()
{
    release();
}

FileError ExclusiveHold::add(const QString& path, std::chrono::milliseconds wait)
{
    if (!looksLikeDatabase(path))
        return FileError::success();
    auto held = std::make_unique<Held>();
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    if (sqlite3_open_v2(url.toEncoded().constData(), &held->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        return FileError::success(); // too damaged to open: simply replaced
    sqlite3_extended_result_codes(held->db, 1);
    sqlite3_busy_timeout(held->db, static_cast<int>(wait.count()));
    // The first lock plays back a journal a crashed writer left.
    const int rc = sqlite3_exec(held->db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return FileError::of(ErrorCode::FileLocked, QFileInfo(path).fileName() + QStringLiteral(" is in use by another program"));
    // A file too damaged to lock is simply replaced.
    held->locked = rc == SQLITE_OK;
    m_held.push_back(std::move(held));
    return FileError::success();
}

void ExclusiveHold::release()
{
    m_held.clear();
}

FileError installFiles(const QString& directory, const std::vector<FileToInstall>& files, std::chrono::milliseconds wait)
{
    for (const FileToInstall& f : files)
        if (!isStagedPath(f.staged) || !isPlainName(f.target))
            return FileError::of(ErrorCode::StoreFailure, QStringLiteral("%1 cannot be installed as %2").arg(f.staged, f.target));
    ExclusiveHold hold;
    FileError e = holdTargets(hold, directory, files, wait);
    if (!e.ok())
        return e;
    // The staged files' names must be on the disk before a record names them.
    QSet<QString> stagingDirectories;
    for (const FileToInstall& f : files)
        stagingDirectories.insert(f.staged.section(u'/', 0, 0));
    for (const QString& staging : stagingDirectories)
        if (!syncDirectory(QDir(directory).filePath(staging)))
            return FileError::fromErrno(errno, QDir(directory).filePath(staging));
    e = writeRecord(directory, files);
    if (!e.ok())
        return e;
    // From here on the install is decided: a failure leaves the record for the next start to finish.
    e = renameAll(directory, files);
    if (!e.ok())
        return e;
    return removeRecord(directory);
}

FileError finishInterruptedInstall(const QString& directory, std::chrono::milliseconds wait)
{
    const QString record = QDir(directory).filePath(InstallRecordName);
    // A record that was never renamed into place decided nothing.
    if (kindOf(record + QStringLiteral(".new")) != Kind::Missing)
        ::unlink(native(record + QStringLiteral(".new")).constData());
    const Kind kind = kindOf(record);
    if (kind == Kind::Missing)
        return FileError::success();
    const auto files = readRecord(directory);
    if (!files) {
        FileError e = FileError::fromErrno(EINVAL, record);
        e.osText = QStringLiteral("the record of an unfinished restore is damaged; restore the backup set again");
        return e;
    }
    ExclusiveHold hold;
    FileError e = holdTargets(hold, directory, *files, wait);
    if (e.ok())
        e = renameAll(directory, *files);
    if (e.ok())
        e = removeRecord(directory);
    return e;
}

bool installNamesStaging(const QString& directory, const QString& name)
{
    if (kindOf(QDir(directory).filePath(InstallRecordName)) == Kind::Missing)
        return false;
    const auto files = readRecord(directory);
    if (!files)
        return true; // unreadable: keep everything it may name
    for (const FileToInstall& f : *files)
        if (f.staged.section(u'/', 0, 0) == name)
            return true;
    return false;
}

} // namespace fundora::platform
