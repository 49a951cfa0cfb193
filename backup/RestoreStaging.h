#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <future>
#include <vector>

namespace fundora::backup {

// The files a restore has read, waiting in a private directory of the
// register (".vaultine-restore") until the whole set is read: each is checked
// in the background as it arrives, then all of them are put in place at once,
// or none (platform::installFiles, which finishes even when the utility is
// killed half-way).
class RestoreStaging {
public:
    static inline const QString Name = QStringLiteral(".vaultine-restore");

    explicit RestoreStaging(QString programDirectory);
    // Waits for the checks; removes the directory unless an unfinished install still names it.
    ~RestoreStaging();
    RestoreStaging(const RestoreStaging&) = delete;
    RestoreStaging& operator=(const RestoreStaging&) = delete;

    // Makes the directory new and private (0700); false when it cannot be, with
    // `wasThere` when something stands under its name (an unfinished restore's).
    bool make(bool& wasThere);
    QString directory() const { return m_directory; }
    // A new name in the directory for the next file read ("<n>.part").
    QString nextPartPath();
    QString path(const QString& name) const;

    // A whole file read: `fileName` is its name in the register. A file whose
    // content a checksum has already proved (an expanded one) needs only its
    // structure checked; a plain copy is checked in full.
    void add(const QString& fileName, const QString& path, bool contentVerified);
    bool holds(const QString& fileName) const;

    // Puts every file in place, once all of them are sound; the set number of
    // the next backup (`setBefore`) is never lowered by the CFG.TPS the set
    // brings back. What went wrong, if anything:
    struct Outcome {
        QString damagedFile, damage; // a file of the set is damaged: nothing was replaced
        QString setNumberNotKept;    // the staged CFG.TPS could not be given the set number: nothing was replaced
        QString installError;        // the files could not be replaced
        bool finishesAtNextStart = false;
        bool ok() const { return damagedFile.isEmpty() && setNumberNotKept.isEmpty() && installError.isEmpty(); }
    };
    Outcome install(std::int32_t setBefore);
    QStringList installed() const;

    // Waits for the checks and removes the directory (unless an install record names it).
    void end();
    // The directory must stay: it holds an unfinished restore (or one not ours to remove).
    void keep() { m_keep = true; }
    bool kept() const { return m_keep; }

private:
    struct Staged {
        QString fileName;
        QString path;
        std::shared_future<QString> problem; // empty: sound
    };
    QString m_programDirectory;
    QString m_directory;
    std::vector<Staged> m_staged;
    int m_parts = 0;
    bool m_keep = false;
};

} // namespace fundora::backup
