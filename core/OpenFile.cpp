#include "core/OpenFile.h"

#include "core/StandardWarning.h"
#include "platform/MessageService.h"
#include "platform/Runtime.h"

#include <algorithm>

namespace fundora::core {

using platform::ErrorCode::AlreadyOpen;
using platform::ErrorCode::FileLocked;
using platform::ErrorCode::KeysMustBeRebuilt;
using platform::ErrorCode::LayoutDiffers;
using platform::ErrorCode::NoSuchFile;

bool openFile(DataFiles& files, FileId id)
{
    platform::DataFile& file = files.file(id);
    const QString name = files.store.pathOf(file.def());

    platform::FileError e = file.open();
    if (e.code == FileLocked) {
        file.sendOption(QStringLiteral("Recover=10"));
        e = file.open();
    }

    switch (e.code) {
    case 0:
    case AlreadyOpen: return true;
    case NoSuchFile:
        e = file.create();
        if (!e.ok()) {
            standardWarning(files, Warning::FileCreationError, name);
            return false;
        }
        e = file.open();
        if (!e.ok()) {
            standardWarning(files, Warning::CreatedFileOpenError, name);
            return false;
        }
        return true;
    case KeysMustBeRebuilt:
        if (standardWarning(files, Warning::InvalidKey, name) != platform::Button::Yes || platform::Runtime::halted())
            return false;
        e = file.rebuildKeys();
        if (!e.ok()) {
            standardWarning(files, Warning::KeyRebuildError, name);
            return false;
        }
        e = file.open();
        break;
    case LayoutDiffers: standardWarning(files, Warning::InvalidFile, name); return false;
    default: break;
    }

    if (file.isOpen())
        return true;
    standardWarning(files, Warning::FileAccessError, name);
    platform::Runtime::halt(QStringLiteral("Disk Error"));
    return false;
}

bool acquireFile(DataFiles& files, FileId id)
{
    int& count = files.openCount(id);
    if (count == 0 && !openFile(files, id))
        return false;
    ++count;
    return true;
}

void releaseFile(DataFiles& files, FileId id)
{
    int& count = files.openCount(id);
    if (count <= 0)
        return;
    if (--count == 0)
        files.file(id).close();
}

FileUses::FileUses(DataFiles& files, const std::vector<FileId>& ids)
{
    for (FileId id : ids)
        m_uses.push_back(std::make_unique<FileUse>(files, id));
}

bool FileUses::ok() const
{
    return std::all_of(m_uses.begin(), m_uses.end(), [](const std::unique_ptr<FileUse>& use) { return use->ok(); });
}

namespace {
std::vector<FileId> accountWithItsFiles()
{
    std::vector<FileId> ids{FileId::Accounts};
    for (FileId id : filesOfAnAccount())
        ids.push_back(id);
    return ids;
}
} // namespace

AccountFileUses::AccountFileUses(DataFiles& files) : FileUses(files, accountWithItsFiles())
{
}

} // namespace fundora::core
