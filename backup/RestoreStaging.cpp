#include "backup/RestoreStaging.h"

#include "backup/BackupConfig.h"
#include "backup/Leftovers.h"
#include "platform/FileCopy.h"
#include "platform/store/FileInstall.h"
#include "platform/store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace fundora::backup {

using namespace std::chrono_literals;

RestoreStaging::RestoreStaging(QString programDirectory)
    : m_programDirectory(std::move(programDirectory)), m_directory(QDir(m_programDirectory).filePath(Name))
{
}

RestoreStaging::~RestoreStaging()
{
    end();
}

bool RestoreStaging::make(bool& wasThere)
{
    wasThere = false;
    if (::mkdir(QFile::encodeName(m_directory).constData(), 0700) == 0)
        return true;
    wasThere = errno == EEXIST;
    return false;
}

QString RestoreStaging::path(const QString& name) const
{
    return QDir(m_directory).filePath(name);
}

QString RestoreStaging::nextPartPath()
{
    return path(QStringLiteral("%1.part").arg(++m_parts));
}

void RestoreStaging::add(const QString& fileName, const QString& path, bool contentVerified)
{
    // The file it replaces decides whether it must be a database: damage to
    // its header must not pass for a file of another kind.
    const bool mustBeDatabase = platform::looksLikeDatabase(QDir(m_programDirectory).filePath(fileName));
    const auto depth = contentVerified ? platform::DatabaseCheck::Quick : platform::DatabaseCheck::Full;
    m_staged.push_back({fileName, path, std::async(std::launch::async, [path, mustBeDatabase, depth] {
                                            QString problem;
                                            if (platform::looksLikeDatabase(path))
                                                problem = platform::databaseProblem(path, depth);
                                            else if (mustBeDatabase)
                                                problem = QStringLiteral("it is not a data file");
                                            // On its way to the disk meanwhile, so that putting it in place waits for nothing.
                                            if (problem.isEmpty() && !platform::syncFile(path))
                                                problem = QStringLiteral("it could not be written to the disk");
                                            return problem;
                                        }).share()});
}

bool RestoreStaging::holds(const QString& fileName) const
{
    for (const Staged& s : m_staged)
        if (s.fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

RestoreStaging::Outcome RestoreStaging::install(std::int32_t setBefore)
{
    Outcome outcome;
    // First every file is checked: a set that is damaged anywhere replaces nothing.
    for (const Staged& s : m_staged)
        if (const QString problem = s.problem.get(); !problem.isEmpty()) {
            outcome.damagedFile = s.fileName;
            outcome.damage = problem;
            return outcome;
        }
    std::vector<platform::FileToInstall> files;
    for (const Staged& s : m_staged) {
        if (s.fileName.compare(QStringLiteral("CFG.TPS"), Qt::CaseInsensitive) == 0 && !raiseStoredSetNumber(s.path, setBefore)) {
            outcome.setNumberNotKept = s.fileName;
            return outcome;
        }
        files.push_back({Name + u'/' + QFileInfo(s.path).fileName(), s.fileName});
    }
    // Every file of the set is held before the first is replaced.
    const platform::FileError e = platform::installFiles(m_programDirectory, files, 2s);
    if (!e.ok()) {
        outcome.installError = e.osText.isEmpty() ? e.text : e.osText;
        // Decided but not finished (a rename failed): the next start of either program finishes it.
        outcome.finishesAtNextStart = platform::installNamesStaging(m_programDirectory, Name);
        m_keep = m_keep || outcome.finishesAtNextStart;
    }
    return outcome;
}

QStringList RestoreStaging::installed() const
{
    QStringList names;
    for (const Staged& s : m_staged)
        names << s.fileName;
    return names;
}

void RestoreStaging::end()
{
    for (const Staged& s : m_staged)
        s.problem.wait(); // no check may still read a file when the directory goes
    m_staged.clear();
    if (!m_keep)
        removeStaging(m_programDirectory);
}

} // namespace fundora::backup
