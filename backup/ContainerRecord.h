#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace fundora::backup {

inline constexpr int RecordSize = 1024;
inline constexpr int HeaderSize = 180;
inline const QByteArray FormatVersion = QByteArrayLiteral("3.6");

enum class RecordKind { Header, Continuation, End, Data };

// The header part of a container record ("MKHDR", "MKBLK", "MKEND"): the
// first 180 bytes, little-endian numbers, texts padded with blanks.
struct ContainerHeader {
    RecordKind kind = RecordKind::Header;
    QByteArray fileName;        // FNAME, 80
    std::int32_t fileSize = 0;  // FSIZE
    std::int32_t fileDate = 0;  // FDATE
    std::int32_t fileTime = 0;  // FTIME
    std::int32_t setNumber = 0; // SYSID
    std::int32_t createdDate = 0;
    std::int32_t createdTime = 0;
    std::int16_t diskNumber = 0;
    bool compressed = false; // LETTERS "YES" / "NO "
    QByteArray path;         // PATH, 60
    std::uint8_t compressionType = 0;
    QByteArray version; // VERSION, 5

    // The whole 1024-byte record: the header, then blanks.
    QByteArray encode() const;
    // The kind of any record by its first five bytes (Data when none matches).
    static RecordKind kindOf(const QByteArray& record);
    // Decodes the header fields of a record (at least 180 bytes; the
    // disk information window reads 500).
    static std::optional<ContainerHeader> decode(const QByteArray& record);
    // The version text without its padding.
    QString versionText() const;
    QString fileNameText() const;
    QString pathText() const;
};

// Container file name of disk `n` at a target location: "<location><n>.BKP".
QString containerName(const QString& location, int disk);

} // namespace fundora::backup
