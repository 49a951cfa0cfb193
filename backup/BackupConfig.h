#pragma once

#include "platform/store/DataFile.h"
#include "platform/store/Store.h"

#include <QString>

#include <memory>

namespace fundora::backup {

// The utility's record in CFG.TPS.
struct ConfigRecord {
    std::int32_t sysId = 1;
    QString drive = QStringLiteral("1"); // "1" drive A:, "2" drive B:, else a letter
    std::int32_t lastDate = 0;
    std::int32_t lastTime = 0;
    QString msPath;
    std::int32_t setNumber = 1; // SPARE11: the number the next backup writes
    std::int32_t spare12 = 0;
};

platform::FileDef configFileDef();

// CFG.TPS (the set number and drive choice) and stowel.ini (the backup path)
// in the program directory, and the hold on the directory that keeps a second
// copy of the utility out.
class BackupConfig {
public:
    explicit BackupConfig(QString directory);
    ~BackupConfig();

    enum class Start { Ready, Declined, CreateFailed, AnotherCopy };
    // The start-up: open (or, when the user agrees, create) CFG.TPS and read
    // its record; make stowel.ini valid and read the path.
    Start start();

    ConfigRecord& record() { return m_record; }
    // Writes the record; false when it could not be written.
    bool save();
    // The runs close CFG.TPS while they work (it is one of the files backed up and restored).
    void close();
    bool reopen();

    QString path() const { return m_path; }
    // Normalises and stores the path (written to stowel.ini).
    void setPath(const QString& path, bool writeToIni);
    QString iniPath() const;
    const QString& directory() const { return m_directory; }

    // Whether the directory is the register itself, so that the runs look for
    // Fundora running on this computer before they start. A copy of a register
    // on a server is not: its stations are counted on the server.
    bool isRegister() const { return m_isRegister; }
    void setIsRegister(bool isRegister) { m_isRegister = isRegister; }

private:
    bool openAndRead();
    bool lockDirectory();
    // Gives the open CFG.TPS its record when it has none.
    bool ensureRecord();

    QString m_directory;
    std::unique_ptr<platform::Store> m_store;
    std::unique_ptr<platform::DataFile> m_file;
    platform::Record m_stored;
    ConfigRecord m_record;
    QString m_path;
    int m_lock = -1;
    bool m_isRegister = true;
};

// Raises the set number stored in the CFG.TPS file at `path` (not open
// through a store: a staged copy) to `atLeast`; false when it cannot be written.
bool raiseStoredSetNumber(const QString& path, std::int32_t atLeast);

// "\BACKUP\": trailing blanks removed, a backslash at both ends; empty stays empty.
QString normalisedPath(const QString& path);

} // namespace fundora::backup
