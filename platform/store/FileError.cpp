#include "platform/store/FileError.h"

#include <cerrno>
#include <cstring>

namespace fundora::platform {

QString errorText(int code)
{
    switch (code) {
    case ErrorCode::None: return QStringLiteral("No Error");
    case ErrorCode::NoSuchFile: return QStringLiteral("File Not Found");
    case ErrorCode::FileLocked: return QStringLiteral("File Is Already Locked");
    case ErrorCode::EndOfFile: return QStringLiteral("Record Not Available");
    case ErrorCode::RecordNotFound: return QStringLiteral("Record Not Found");
    case ErrorCode::FileNotOpen: return QStringLiteral("File Not Open");
    case ErrorCode::DuplicateKey: return QStringLiteral("Creates Duplicate Key");
    case ErrorCode::KeysMustBeRebuilt: return QStringLiteral("Keys Need Rebuilding");
    case ErrorCode::LayoutDiffers: return QStringLiteral("Invalid Record Declaration");
    case ErrorCode::AlreadyOpen: return QStringLiteral("File Already Open");
    case ErrorCode::InvalidValue: return QStringLiteral("Invalid Field Value");
    case ErrorCode::InvalidFilter: return QStringLiteral("Invalid Filter Expression");
    case ErrorCode::ChangedElsewhere: return QStringLiteral("Record Changed By Another Station");
    case ErrorCode::OperatingSystem: return QStringLiteral("File System Error");
    case ErrorCode::StoreFailure: return QStringLiteral("Data Store Error");
    default: return QStringLiteral("Error %1").arg(code);
    }
}

FileError FileError::of(int code, QString detail)
{
    FileError e;
    e.code = code;
    e.text = errorText(code);
    if (!detail.isEmpty())
        e.text += QStringLiteral(": ") + detail;
    return e;
}

FileError FileError::fromErrno(int err, const QString& what)
{
    FileError e;
    e.code = ErrorCode::OperatingSystem;
    e.text = errorText(e.code);
    e.osCode = err;
    e.osText = QString::fromLocal8Bit(std::strerror(err));
    if (!what.isEmpty())
        e.text += QStringLiteral(": ") + what;
    return e;
}

QString fullDiskHint(const FileError& error)
{
    if (error.code != ErrorCode::OperatingSystem || (error.osCode != ENOSPC && error.osCode != EDQUOT))
        return {};
    return QStringLiteral("The disk is full: free some space there, then try again.");
}

} // namespace fundora::platform
