#pragma once

#include "backup/BackupConfig.h"
#include "backup/BackupRun.h"
#include "backup/Compressor.h"
#include "backup/RestoreRun.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <random>

namespace fundora::test {

// A program directory for the utility with the compressor beside it, and a
// backup directory next to it.
class BackupTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        program = path(QStringLiteral("program"));
        target = path(QStringLiteral("target")) + u'/';
        QDir().mkpath(program);
        QDir().mkpath(target);
        QFile::copy(QStringLiteral(FUNDORA_PKLAUNCH), QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")));
        QFile::setPermissions(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // A file of `size` bytes: random (incompressible) or repetitive (compressible).
    QByteArray makeFile(const QString& name, qint64 size, bool compressible = false)
    {
        QByteArray bytes(size, '\0');
        std::mt19937 random(static_cast<unsigned>(size) + static_cast<unsigned>(qHash(name)));
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = compressible ? static_cast<char>('A' + (i / 97) % 7) : static_cast<char>(random());
        writeAll(QDir(program).filePath(name), bytes);
        return bytes;
    }
    QByteArray programFile(const QString& name) const { return readAll(QDir(program).filePath(name)); }
    // Accounts `first` to `last`, each with `each` charges, written by the program's own store in one commit.
    void book(int first, int last, int each) { bookInto(platform::RegisterPlace::inDirectory(program), first, last, each); }
    // The same in the register at `where`; `alsoFor` adds more records of each account in the same commit.
    static void bookInto(const platform::RegisterPlace& where, int first, int last, int each,
                         const std::function<void(core::DataFiles&, int account)>& alsoFor = {})
    {
        core::DataFiles files(where);
        for (core::FileId id : core::allFiles())
            ASSERT_TRUE(core::acquireFile(files, id));
        core::FileTransaction tx(files.store);
        for (int a = first; a <= last; ++a) {
            files.accounts.clear();
            files.accounts.record.sysId = a;
            files.accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(a);
            ASSERT_TRUE(files.accounts.add().ok());
            for (int t = 0; t < each; ++t) {
                files.transactions.clear();
                files.transactions.record.sysId = a;
                files.transactions.record.transactionType = QStringLiteral("C");
                files.transactions.record.transactionDescription = QStringLiteral("charge %1 of %2").arg(t).arg(a);
                ASSERT_TRUE(files.transactions.add().ok());
            }
            if (alsoFor)
                alsoFor(files, a);
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    std::unique_ptr<backup::BackupConfig> startedConfig()
    {
        auto config = std::make_unique<backup::BackupConfig>(program);
        messages().answer(platform::Button::Yes); // create CFG.TPS
        EXPECT_EQ(config->start(), backup::BackupConfig::Start::Ready);
        return config;
    }

    QString program;
    QString target;
};

class NoDisks final : public backup::BackupUi {
public:
    bool insertDisk(int) override { return false; }
};

// Every container lies in the target directory; a disk asked for twice is missing.
class DirectoryRestore final : public backup::RestoreUi {
public:
    bool insertDisk(int disk) override
    {
        asked.push_back(disk);
        if (disk == last)
            return false;
        last = disk;
        return true;
    }
    std::vector<int> asked;
    int last = 0;
};

} // namespace fundora::test
