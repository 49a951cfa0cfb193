#pragma once

#include <QString>

#include <cstdint>

#include <functional>
#include <memory>

class QProcess;

namespace fundora::backup {

// Compression through the outside compressor PKLAUNCH.PIF of the program
// directory (found without regard to case), else the one installed with the
// program (platform::installedDataFile): compress a data file into
// BASE.BKX, expand BASE.BKX back into the data file.
class Compressor {
public:
    // Shows that the utility waits for `process` and returns when it has ended
    // (or was ended for taking longer than the limit).
    using Waiter = std::function<void(QProcess& process, const QString& title, const QString& text)>;

    explicit Compressor(QString programDirectory);
    void setWaiter(Waiter waiter) { m_waiter = std::move(waiter); }
    // Work to do now and then while the utility waits for a process (the
    // backup starts the next compression there); waiters call whileWaiting().
    void setWhileWaiting(std::function<void()> work) { m_whileWaiting = std::move(work); }
    void whileWaiting() const
    {
        if (m_whileWaiting)
            m_whileWaiting();
    }
    // A process that runs longer is ended and counts as failed.
    void setTimeLimitMs(int ms) { m_limitMs = ms; }

    // The launcher's path, or empty when there is none.
    QString launcher() const;
    // Compresses `file` into <BASE>.BKX in the program directory.
    bool compress(const QString& file);
    // The same in two steps, so that several files can be compressed at once.
    std::unique_ptr<QProcess> startCompress(const QString& file);
    bool finishCompress(QProcess& process, const QString& file);
    // Starts expanding <BASE>.BKX in `directory` (the restore's staging
    // directory) and returns at once (nullptr, after the message, when the
    // launcher cannot be started); finishExpand() waits for it. The expansion
    // may write at most `maxBytes` (the launcher is told so and its file size
    // limited: an entry that would grow beyond it fails).
    std::unique_ptr<QProcess> startExpand(const QString& baseName, const QString& directory, std::int64_t maxBytes);
    bool finishExpand(QProcess& process, const QString& baseName);
    // The last failure in words (for messages and logs).
    const QString& failure() const { return m_failure; }

private:
    std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& directory, std::int64_t maxBytes = 0);
    bool finish(QProcess& process, const QString& title, const QString& text);

    QString m_directory;
    Waiter m_waiter;
    std::function<void()> m_whileWaiting;
    int m_limitMs = 30 * 60 * 1000;
    QString m_failure;
};

// The wait without a window: blocks until the process ends or the limit
// passes, doing `meanwhile` between looks at it.
void waitWithoutWindow(QProcess& process, int limitMs, const std::function<void()>& meanwhile = {});

} // namespace fundora::backup
