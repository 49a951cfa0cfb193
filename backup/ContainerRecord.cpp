#include "backup/ContainerRecord.h"

#include <QtEndian>

namespace fundora::backup {

namespace {

constexpr int IdOffset = 0, NameOffset = 5, SizeOffset = 85, DateOffset = 89, TimeOffset = 93, SetOffset = 97, CDateOffset = 101,
              CTimeOffset = 105, DiskOffset = 109, LettersOffset = 111, PathOffset = 114, TypeOffset = 174, VersionOffset = 175;

void putText(QByteArray& r, int offset, int size, const QByteArray& text)
{
    const QByteArray t = text.left(size);
    for (int i = 0; i < size; ++i)
        r[offset + i] = i < t.size() ? t[i] : ' ';
}

void put32(QByteArray& r, int offset, std::int32_t v)
{
    qToLittleEndian<std::int32_t>(v, r.data() + offset);
}

std::int32_t get32(const QByteArray& r, int offset)
{
    return qFromLittleEndian<std::int32_t>(r.constData() + offset);
}

QByteArray trimmedRight(QByteArray s)
{
    while (!s.isEmpty() && (s.back() == ' ' || s.back() == '\0'))
        s.chop(1);
    return s;
}

const char* idOf(RecordKind k)
{
    switch (k) {
    case RecordKind::Header: return "MKHDR";
    case RecordKind::Continuation: return "MKBLK";
    case RecordKind::End: return "MKEND";
    case RecordKind::Data: break;
    }
    return "     ";
}

} // namespace

QByteArray ContainerHeader::encode() const
{
    QByteArray r(RecordSize, ' ');
    putText(r, IdOffset, 5, idOf(kind));
    const bool end = kind == RecordKind::End;
    putText(r, NameOffset, 80, end ? QByteArray() : fileName);
    put32(r, SizeOffset, end ? 0 : fileSize);
    put32(r, DateOffset, end ? 0 : fileDate);
    put32(r, TimeOffset, end ? 0 : fileTime);
    put32(r, SetOffset, setNumber);
    put32(r, CDateOffset, createdDate);
    put32(r, CTimeOffset, createdTime);
    qToLittleEndian<std::int16_t>(diskNumber, r.data() + DiskOffset);
    putText(r, LettersOffset, 3, end ? QByteArray() : (compressed ? QByteArrayLiteral("YES") : QByteArrayLiteral("NO ")));
    putText(r, PathOffset, 60, end ? QByteArray() : path);
    r[TypeOffset] = static_cast<char>(compressionType);
    putText(r, VersionOffset, 5, version);
    return r;
}

RecordKind ContainerHeader::kindOf(const QByteArray& record)
{
    const QByteArray id = record.left(5);
    if (id == "MKHDR")
        return RecordKind::Header;
    if (id == "MKBLK")
        return RecordKind::Continuation;
    if (id == "MKEND")
        return RecordKind::End;
    return RecordKind::Data;
}

std::optional<ContainerHeader> ContainerHeader::decode(const QByteArray& r)
{
    if (r.size() < HeaderSize)
        return std::nullopt;
    ContainerHeader h;
    h.kind = kindOf(r);
    h.fileName = r.mid(NameOffset, 80);
    h.fileSize = get32(r, SizeOffset);
    h.fileDate = get32(r, DateOffset);
    h.fileTime = get32(r, TimeOffset);
    h.setNumber = get32(r, SetOffset);
    h.createdDate = get32(r, CDateOffset);
    h.createdTime = get32(r, CTimeOffset);
    h.diskNumber = qFromLittleEndian<std::int16_t>(r.constData() + DiskOffset);
    h.compressed = r.mid(LettersOffset, 3) == "YES";
    h.path = r.mid(PathOffset, 60);
    h.compressionType = static_cast<std::uint8_t>(r[TypeOffset]);
    h.version = r.mid(VersionOffset, 5);
    return h;
}

QString ContainerHeader::versionText() const
{
    return QString::fromLatin1(trimmedRight(version));
}

QString ContainerHeader::fileNameText() const
{
    return QString::fromLatin1(trimmedRight(fileName));
}

QString ContainerHeader::pathText() const
{
    return QString::fromLatin1(trimmedRight(path));
}

QString containerName(const QString& location, int disk)
{
    return location + QString::number(disk) + QStringLiteral(".BKP");
}

} // namespace fundora::backup
