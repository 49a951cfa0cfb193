// The container format byte by byte, and how sets span disks.
#include "backup/ContainerRecord.h"
#include "backup/ContainerWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QtEndian>

using namespace fundora;
using namespace fundora::backup;

namespace {

// Disks of a fixed size in a directory: disk n is <dir>/<n>.BKP.
class SmallDisks final : public DiskSupplier {
public:
    SmallDisks(QString location, std::int64_t size) : m_location(std::move(location)), m_size(size) {}
    QString containerPath(int disk) const override { return containerName(m_location, disk); }
    std::int64_t nextDisk(int disk) override
    {
        requested.push_back(disk);
        return m_size;
    }
    std::vector<int> requested;

private:
    QString m_location;
    std::int64_t m_size;
};

class ContainerTest : public test::ProgramTest {
protected:
    QString location() const { return dir() + u'/'; }
    QByteArray container(int disk) const { return test::readAll(containerName(location(), disk)); }
    static QByteArray record(const QByteArray& c, int k) { return c.mid((k - 1) * RecordSize, RecordSize); }
    static StoredFile file(const char* name)
    {
        StoredFile f;
        f.name = name;
        f.shortName = name;
        f.date = 82000;
        f.time = 360001;
        return f;
    }
    void write(ContainerWriter& w, const char* name, qint64 size)
    {
        QByteArray bytes(size, 'x');
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i % 251);
        QBuffer b(&bytes);
        b.open(QIODevice::ReadOnly);
        ASSERT_TRUE(w.writeFile(file(name), b, size)) << w.error().toStdString();
    }
};

TEST_F(ContainerTest, HeaderLayoutByteByByte)
{
    ContainerHeader h;
    h.kind = RecordKind::Header;
    h.fileName = "ACCOUNTS.TPS";
    h.fileSize = 0x01020304;
    h.fileDate = 82000;
    h.fileTime = 360001;
    h.setNumber = 7;
    h.createdDate = 82001;
    h.createdTime = 5;
    h.diskNumber = 1;
    h.compressed = true;
    h.path = "ACCOUNTS.TPS";
    h.compressionType = 1;
    h.version = FormatVersion;
    const QByteArray r = h.encode();
    ASSERT_EQ(r.size(), 1024);
    EXPECT_EQ(r.left(5), "MKHDR");
    EXPECT_EQ(r.mid(5, 80), QByteArray("ACCOUNTS.TPS").leftJustified(80, ' '));
    EXPECT_EQ(r.mid(85, 4), QByteArray("\x04\x03\x02\x01", 4)) << "little-endian";
    EXPECT_EQ(qFromLittleEndian<qint32>(r.constData() + 89), 82000);
    EXPECT_EQ(qFromLittleEndian<qint32>(r.constData() + 97), 7);
    EXPECT_EQ(qFromLittleEndian<qint16>(r.constData() + 109), 1);
    EXPECT_EQ(r.mid(111, 3), "YES");
    EXPECT_EQ(r.mid(114, 60), QByteArray("ACCOUNTS.TPS").leftJustified(60, ' '));
    EXPECT_EQ(r[174], '\x01');
    EXPECT_EQ(r.mid(175, 5), "3.6  ");
    EXPECT_EQ(r.mid(180), QByteArray(844, ' ')) << "the rest of a header is blanks";
    const auto back = ContainerHeader::decode(r);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fileNameText(), QStringLiteral("ACCOUNTS.TPS"));
    EXPECT_EQ(back->fileSize, 0x01020304);
    EXPECT_TRUE(back->compressed);
    h.compressed = false;
    EXPECT_EQ(h.encode().mid(111, 3), "NO ");
}

TEST_F(ContainerTest, A2048ByteFileIsAHeaderAndTwoFullBlocks)
{
    SmallDisks disks(location(), 1 << 30);
    ContainerWriter w(disks, 3);
    ASSERT_TRUE(w.begin(1 << 30));
    write(w, "TWO.TPS", 2048);
    ASSERT_TRUE(w.finish());
    const QByteArray c = container(1);
    ASSERT_EQ(c.size(), 4 * 1024);
    EXPECT_EQ(record(c, 1).left(5), "MKHDR");
    EXPECT_EQ(qFromLittleEndian<qint32>(record(c, 1).constData() + 85), 2048);
    EXPECT_EQ(static_cast<unsigned char>(record(c, 2)[1]), 1u);
    EXPECT_EQ(static_cast<unsigned char>(record(c, 3)[0]), 1024 % 251);
    EXPECT_EQ(record(c, 4).left(5), "MKEND");
    EXPECT_EQ(qFromLittleEndian<qint32>(record(c, 4).constData() + 97), 3);
    EXPECT_EQ(record(c, 4).mid(5, 80), QByteArray(80, ' ')) << "an end record names no file";
}

TEST_F(ContainerTest, EmptyFileIsAHeaderAlone)
{
    SmallDisks disks(location(), 1 << 30);
    ContainerWriter w(disks, 1);
    ASSERT_TRUE(w.begin(1 << 30));
    write(w, "EMPTY.TPS", 0);
    write(w, "ONE.TPS", 1);
    ASSERT_TRUE(w.finish());
    const QByteArray c = container(1);
    ASSERT_EQ(c.size(), 4 * 1024);
    EXPECT_EQ(record(c, 1).left(5), "MKHDR");
    EXPECT_EQ(record(c, 2).left(5), "MKHDR");
    EXPECT_EQ(record(c, 4).left(5), "MKEND");
}

TEST_F(ContainerTest, TheBlockThatFillsTheLastDiskLeavesAContinuationAndTheEnd)
{
    // 6144 bytes: after a header and three blocks 2048 are left (< 3000): the next disk is asked for.
    SmallDisks disks(location(), 6144);
    ContainerWriter w(disks, 9);
    ASSERT_TRUE(w.begin(6144));
    write(w, "A.TPS", 3 * 1024);
    ASSERT_TRUE(w.finish());
    EXPECT_EQ(disks.requested, std::vector<int>{2});
    const QByteArray two = container(2);
    ASSERT_EQ(two.size(), 2 * 1024);
    EXPECT_EQ(record(two, 1).left(5), "MKBLK");
    EXPECT_EQ(qFromLittleEndian<qint16>(record(two, 1).constData() + 109), 2);
    EXPECT_EQ(record(two, 1).mid(5, 5), "A.TPS") << "a continuation names the file it continues";
    EXPECT_EQ(qFromLittleEndian<qint32>(record(two, 1).constData() + 85), 3 * 1024);
    EXPECT_EQ(record(two, 2).left(5), "MKEND");
    EXPECT_EQ(qFromLittleEndian<qint16>(record(two, 2).constData() + 109), 2);
}

TEST_F(ContainerTest, TheNextFilesHeaderFollowsTheContinuation)
{
    SmallDisks disks(location(), 6144);
    ContainerWriter w(disks, 9);
    ASSERT_TRUE(w.begin(6144));
    write(w, "A.TPS", 3 * 1024);
    write(w, "B.TPS", 10);
    ASSERT_TRUE(w.finish());
    const QByteArray two = container(2);
    EXPECT_EQ(record(two, 1).left(5), "MKBLK");
    EXPECT_EQ(record(two, 2).left(5), "MKHDR");
    EXPECT_EQ(record(two, 2).mid(5, 5), "B.TPS");
    EXPECT_EQ(qFromLittleEndian<qint16>(record(two, 2).constData() + 109), 1) << "a header's disk number is always 1";
}

TEST_F(ContainerTest, ABigFileSpansSeveralDisksNeverPastTheirSize)
{
    SmallDisks disks(location(), 20000);
    ContainerWriter w(disks, 2);
    ASSERT_TRUE(w.begin(20000));
    write(w, "BIG.TPS", 100000);
    ASSERT_TRUE(w.finish());
    ASSERT_GE(disks.requested.size(), 5u);
    for (int d = 1; d <= w.disk(); ++d) {
        EXPECT_LE(container(d).size(), 20000) << d;
        EXPECT_EQ(container(d).size() % 1024, 0) << d;
    }
}

TEST_F(ContainerTest, StoppedAtTheNextDiskReportsIt)
{
    class Refusing final : public DiskSupplier {
    public:
        explicit Refusing(QString l) : m_l(std::move(l)) {}
        QString containerPath(int d) const override { return containerName(m_l, d); }
        std::int64_t nextDisk(int) override { return 0; }
        QString m_l;
    } disks(location());
    ContainerWriter w(disks, 2);
    ASSERT_TRUE(w.begin(5000));
    QByteArray bytes(10000, 'y');
    QBuffer b(&bytes);
    b.open(QIODevice::ReadOnly);
    EXPECT_FALSE(w.writeFile(file("X.TPS"), b, bytes.size()));
    EXPECT_TRUE(w.error().contains(QStringLiteral("stopped at disk 2")));
}

} // namespace
