#include "backup/BackupConfig.h"

#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/store/FileInstall.h"
#include "platform/store/StoreSchema.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

namespace {
enum ConfigField { CfgSysId, CfgDrive, CfgLastDate, CfgLastTime, CfgMsPath, CfgSpare11, CfgSpare12 };
}

platform::FileDef configFileDef()
{
    using platform::FieldType;
    platform::FileDef def;
    def.label = QStringLiteral("CFG");
    def.prefix = QStringLiteral("CFG");
    def.diskName = QStringLiteral("CFG");
    def.fields = {{QStringLiteral("CFG:SYSID"), FieldType::Long, 0, 0},     {QStringLiteral("CFG:DRIVE"), FieldType::String, 1, 0},
                  {QStringLiteral("CFG:LASTDATE"), FieldType::Long, 0, 0},  {QStringLiteral("CFG:LASTTIME"), FieldType::Long, 0, 0},
                  {QStringLiteral("CFG:MSPATH"), FieldType::String, 40, 0}, {QStringLiteral("CFG:SPARE11"), FieldType::Long, 0, 0},
                  {QStringLiteral("CFG:SPARE12"), FieldType::Long, 0, 0}};
    def.keys = {{QStringLiteral("CFG:K_SYSID"), {{CfgSysId, false}}, true, false}};
    return def;
}

QString normalisedPath(const QString& path)
{
    QString p = path;
    while (p.endsWith(u' '))
        p.chop(1);
    if (p.isEmpty())
        return p;
    // A Linux path typed as such ("/media/usb/backup") is that directory, on any drive.
    if (p.startsWith(u'/'))
        return p.endsWith(u'/') ? p : p + u'/';
    if (!p.endsWith(u'\\'))
        p += u'\\';
    if (!p.startsWith(u'\\'))
        p.prepend(u'\\');
    return p;
}

BackupConfig::BackupConfig(QString directory) : m_directory(std::move(directory))
{
}

BackupConfig::~BackupConfig()
{
    close();
    if (m_lock >= 0)
        ::close(m_lock);
}

QString BackupConfig::iniPath() const
{
    return QDir(m_directory).filePath(QStringLiteral("stowel.ini"));
}

bool BackupConfig::lockDirectory()
{
    // The program directory itself is held: nothing is created beside the data files.
    m_lock = ::open(QFile::encodeName(m_directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) == 0;
}

bool BackupConfig::openAndRead()
{
    m_store = std::make_unique<platform::Store>(m_directory, platform::Store::Link::None);
    m_file = std::make_unique<platform::DataFile>(*m_store, configFileDef());
    if (!m_file->open().ok())
        return false;
    m_file->set(0);
    if (!m_file->next(m_stored).ok())
        return false;
    m_record.sysId = static_cast<std::int32_t>(m_stored.integer(CfgSysId));
    m_record.drive = m_stored.text(CfgDrive);
    m_record.lastDate = static_cast<std::int32_t>(m_stored.integer(CfgLastDate));
    m_record.lastTime = static_cast<std::int32_t>(m_stored.integer(CfgLastTime));
    m_record.msPath = m_stored.text(CfgMsPath);
    m_record.setNumber = static_cast<std::int32_t>(m_stored.integer(CfgSpare11));
    m_record.spare12 = static_cast<std::int32_t>(m_stored.integer(CfgSpare12));
    return true;
}

BackupConfig::Start BackupConfig::start()
{
    if (!lockDirectory()) {
        // Another copy (its windows, or a backup or restore) holds the directory: said, never a silent end.
        platform::MessageService::current().show({QStringLiteral("Fundora 2000 - Backup/Restore Module"),
                                                  QStringLiteral("Do not run more than one copy at the same time!"),
                                                  MessageIcon::Exclamation, Button::Ok, Button::Ok});
        return Start::AnotherCopy;
    }
    // A restore killed while it put its files in place is finished before any file is opened.
    const platform::FileError unfinished = platform::finishInterruptedInstall(m_directory, std::chrono::seconds(2));
    if (!unfinished.ok()) {
        platform::MessageService::current().show(
            {QStringLiteral("Restore Not Finished!"),
             QStringLiteral("The last restore into %1 was interrupted and could not be finished (%2). Close every program that uses "
                            "the data files and start the utility again.")
                 .arg(m_directory, unfinished.osText.isEmpty() ? unfinished.text : unfinished.osText),
             MessageIcon::Stop, Button::Ok, Button::Ok});
        return Start::CreateFailed;
    }
    m_store = std::make_unique<platform::Store>(m_directory, platform::Store::Link::None);
    m_file = std::make_unique<platform::DataFile>(*m_store, configFileDef());
    if (!m_file->open().ok()) {
        const int answer = platform::MessageService::current().show(
            {QStringLiteral("Cannot Find CFG.TPS!"),
             QStringLiteral("The Configuration File (which stores the last used set number) cannot be found.\r\n\r\nIf you answer "
                            "Yes a new file will be created. It will have a set number of 1.\r\n\r\nDo you want to create CFG.TPS?"),
             MessageIcon::Question, Button::Yes | Button::No, Button::Yes});
        if (answer != Button::Yes)
            return Start::Declined;
        const bool created = !QFile::exists(m_store->pathOf(m_file->def())) && m_file->create().ok() && m_file->open().ok();
        if (!created || !ensureRecord()) {
            platform::MessageService::current().show(
                {QStringLiteral("Error creating CFG.TPS!"),
                 QStringLiteral("An error occurred creating CFG.TPS!  Please contact your software supplier or helpline."),
                 MessageIcon::Stop, Button::Cancel, Button::Cancel});
            return Start::CreateFailed;
        }
    }
    // A first start killed between making the file and writing its record left it empty: it gets its record now.
    if (!ensureRecord()) {
        platform::MessageService::current().show(
            {QStringLiteral("Error creating CFG.TPS!"),
             QStringLiteral("An error occurred creating CFG.TPS!  Please contact your software supplier or helpline."), MessageIcon::Stop,
             Button::Cancel, Button::Cancel});
        return Start::CreateFailed;
    }
    close();
    if (!openAndRead()) {
        platform::MessageService::current().show({QStringLiteral("Fundora 2000 - Backup/Restore Module"),
                                                  QStringLiteral("Do not run more than one copy at the same time!"),
                                                  MessageIcon::Exclamation, Button::Ok, Button::Ok});
        return Start::AnotherCopy;
    }
    platform::IniFile ini = platform::IniFile::load(iniPath());
    if (ini.value(QStringLiteral("setup"), QStringLiteral("valid"), QString()).isEmpty()) {
        ini.setValue(QStringLiteral("setup"), QStringLiteral("valid"), QStringLiteral("valid"));
        ini.setValue(QStringLiteral("setup"), QStringLiteral("path"), QString());
        ini.save(iniPath());
    }
    m_path = ini.value(QStringLiteral("setup"), QStringLiteral("path"), QString()).left(60);
    return Start::Ready;
}

bool BackupConfig::ensureRecord()
{
    platform::Record stored;
    m_file->set(0);
    if (m_file->next(stored).ok())
        return true;
    platform::Record r = platform::Record::blank(m_file->def());
    r.values[CfgSysId] = std::int64_t{1};
    r.values[CfgSpare11] = std::int64_t{1};
    r.values[CfgDrive] = QStringLiteral("1");
    return m_file->add(r).ok();
}

bool raiseStoredSetNumber(const QString& path, std::int32_t atLeast)
{
    const platform::FileDef def = configFileDef();
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    const QString column = platform::schema::quoted(def.fields[CfgSpare11].column());
    const QString sql = QStringLiteral("UPDATE %1 SET %2 = ?1, \"rowversion\" = \"rowversion\" + 1 WHERE %2 < ?1")
                            .arg(platform::schema::table(def), column);
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_bind_int(st, 1, atLeast) == SQLITE_OK && sqlite3_step(st) == SQLITE_DONE;
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return ok;
}

bool BackupConfig::save()
{
    if (!m_file || !m_file->isOpen())
        return false;
    m_stored.values[CfgDrive] = m_record.drive.left(1);
    m_stored.values[CfgLastDate] = std::int64_t{m_record.lastDate};
    m_stored.values[CfgLastTime] = std::int64_t{m_record.lastTime};
    m_stored.values[CfgSpare11] = std::int64_t{m_record.setNumber};
    return m_file->put(m_stored).ok();
}

void BackupConfig::close()
{
    if (m_file && m_file->isOpen())
        m_file->close();
    m_file.reset();
    m_store.reset();
}

bool BackupConfig::reopen()
{
    close();
    return openAndRead();
}

void BackupConfig::setPath(const QString& path, bool writeToIni)
{
    m_path = normalisedPath(path).left(60);
    if (writeToIni)
        platform::IniFile::write(iniPath(), QStringLiteral("setup"), QStringLiteral("path"), m_path);
}

} // namespace fundora::backup
