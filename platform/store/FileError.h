#pragma once

#include <QString>

namespace fundora::platform {

// Error codes of file operations. Callers test these numbers, so they never change.
namespace ErrorCode {
inline constexpr int None = 0;
inline constexpr int NoSuchFile = 2;
inline constexpr int FileLocked = 32;
inline constexpr int EndOfFile = 33;
inline constexpr int RecordNotFound = 35;
inline constexpr int DuplicateKey = 40;
inline constexpr int KeysMustBeRebuilt = 46;
inline constexpr int LayoutDiffers = 47;
inline constexpr int AlreadyOpen = 52;
inline constexpr int InvalidValue = 75; // a value does not fit its field (the store refuses it)
inline constexpr int FileNotOpen = 37;
inline constexpr int InvalidFilter = 800; // a filter expression could not be compiled
inline constexpr int ChangedElsewhere = 89;
inline constexpr int OperatingSystem = 90;
inline constexpr int StoreFailure = 91; // the database engine failed for another reason
} // namespace ErrorCode

// The outcome of the last file operation: a code, its text, and for code 90
// the operating system's own error number and text.
struct FileError {
    int code = ErrorCode::None;
    QString text;
    int osCode = 0;
    QString osText;

    bool ok() const { return code == ErrorCode::None; }
    static FileError success() { return {}; }
    static FileError of(int code, QString detail = {});
    static FileError fromErrno(int err, const QString& what = {});
};

// What to do when the error is a full disk (ENOSPC, a quota); empty otherwise.
QString fullDiskHint(const FileError& error);

// The standard text of an error code ("Record Not Found", ...).
QString errorText(int code);

} // namespace fundora::platform
