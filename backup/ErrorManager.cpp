#include "backup/ErrorManager.h"

#include "platform/MessageService.h"
#include "platform/Runtime.h"

#include <QDataStream>
#include <QIODevice>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

namespace {

struct DefaultEntry {
    int number;
    int level;
    const char* title;
    const char* text;
};

const DefaultEntry DefaultTable[] = {
    {1, 5, "Record Retrieval Error",
     "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window."},
    {2, 5, "Access Denied", "Could not get write access to %File so trying read-only."},
    {3, 1, "Record Added", "This record has been added to the file. Do you want to add another record?"},
    {4, 5, "Record Insert Error", "An error was experienced during the creation of a record. Error: %ErrorText."},
    {5, 5, "Add New Record?", "Record match not found, do you wish to add a new one?"},
    {6, 5, "Record Was Not Updated", "This record was changed by another station."},
    {7, 5, "Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your "
     "changes."},
    {8, 1, "Changes will be lost!", "Are you sure you want to cancel?"},
    {9, 1, "Confirm Delete", "Are you sure you want to delete the highlighted record?"},
    {10, 3, "File Creation Error", "Error: (%ErrorText) creating %File."},
    {11, 5, "Record was not deleted", "An error (%ErrorText) was experienced when deleting a record from the %File file."},
    {12, 5, "Invalid Request", "This form cannot be used to delete a record"},
    {13, 5, "Duplicate Key Error", "Adding this record creates a duplicate entry for the key: %Message"},
    {14, 5, "Field contents error", "The value of %Field must be found in the %Message file."},
    {15, 5, "Value Error", "The value of %Field must be in the list : %Message."},
    {16, 5, "Range Error", "The value of %Field must be between %Message."},
    {17, 5, "Range Error", "The value of %Field must be lower than %Message."},
    {18, 5, "Range Error", "The value of %Field must be higher than %Message."},
    {19, 5, "File Load Error", "%File File Load Error.  Error: %ErrorText."},
    {20, 5, "Invalid Request", "This form cannot be used to insert a record"},
    {21, 5, "Transaction cancelled", "Error: (%ErrorText) attempting to frame the transaction on %File."},
    {22, 5, "No Records", "There are no records available to process."},
    {23, 3, "File Access Error", "File (%File) could not be opened.  Error: %ErrorText."},
    {24, 5, "Procedure not defined", "The Procedure %Message has not been defined."},
    {25, 5, "Record was not updated", "An error (%ErrorText) was experienced when making changes to the %File file."},
    {26, 3, "Key was not built", "Error: (%ErrorText) repairing key for %File."},
    {27, 5, "Invalid Key", "%File key file is invalid. Key must be rebuilt."},
    {28, 5, "Record not read", "A record held by another station was encountered reading from the %File file."},
    {30, 5, "Referential Integrity Delete Error",
     "This record is referenced from the file %File. This record cannot be deleted while these references exist."},
    {31, 5, "Referential Integrity Update Error",
     "This record is referenced from the file %File. Linking field(s) have been restricted from change and have been reset to original "
     "values."},
    {32, 1, "Auto Increment Error", "Attempts to automatically number this record have failed.  Error: %ErrorText. Try Again?"},
    {33, 1, "Record Delete Error", "An error was experienced deleting this record. Do you want to try to delete it again?"},
    {34, 1, "Record Update Error", "An error was experienced changing this record. Do you want to try to save again?"},
    {35, 1, "Save Record", "Do you want to save the changes to this record?"},
    {36, 1, "Beginning of File Error", "The beginning of the file was encountered. Do you want to start again from the end of the file?"},
    {37, 1, "End of File Error", "The end of the file was encountered. Do you want to start again from the beginning?"},
    {38, 5, "Invalid Request", "This form cannot be used to update a record"},
    {39, 2, "File Usage Error", "Attempt to use file (%File) before it was opened"},
    {40, 5, "View Open Error", "Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits ignored."},
};

void replaceAll(QString& text, const QString& token, const QString& value)
{
    // Repeats until the token no longer occurs (a value may not bring it back: it is replaced once per pass).
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(token, from); at >= 0; at = text.indexOf(token, from)) {
        text.replace(at, token.size(), value);
        from = at + value.size();
    }
}

} // namespace

ErrorManager::ErrorManager()
{
    for (const DefaultEntry& e : DefaultTable)
        m_entries.push_back({e.number, e.level, QString::fromLatin1(e.title), QString::fromLatin1(e.text)});
}

QVector<ErrorManager::Entry> ErrorManager::unpack(const QByteArray& packed)
{
    QVector<Entry> out;
    QDataStream in(packed);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 count = 0;
    in >> count;
    for (quint16 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        qint16 number = 0;
        quint8 level = 0, titleLength = 0, textLength = 0;
        in >> number >> level >> titleLength;
        QByteArray title(titleLength, '\0');
        in.readRawData(title.data(), titleLength);
        in >> textLength;
        QByteArray text(textLength, '\0');
        in.readRawData(text.data(), textLength);
        if (in.status() != QDataStream::Ok)
            break;
        out.push_back({number, level, QString::fromLatin1(title), QString::fromLatin1(text)});
    }
    return out;
}

QByteArray ErrorManager::pack(const QVector<Entry>& entries)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << static_cast<quint16>(entries.size());
    for (const Entry& e : entries) {
        const QByteArray title = e.title.toLatin1().left(255);
        const QByteArray text = e.text.toLatin1().left(255);
        s << static_cast<qint16>(e.number) << static_cast<quint8>(e.level) << static_cast<quint8>(title.size());
        s.writeRawData(title.constData(), static_cast<int>(title.size()));
        s << static_cast<quint8>(text.size());
        s.writeRawData(text.constData(), static_cast<int>(text.size()));
    }
    return out;
}

const ErrorManager::Entry* ErrorManager::find(int number) const
{
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it)
        if (it->number == number)
            return &*it;
    return nullptr;
}

QString ErrorManager::text(int number) const
{
    const Entry* e = find(number);
    if (!e)
        return {};
    QString t = e->text.left(2000);
    const QString errorText = m_error.code == platform::ErrorCode::OperatingSystem
                                  ? m_error.osText + QStringLiteral(" (") + QString::number(m_error.osCode) + u')'
                                  : m_error.text + QStringLiteral(" (") + QString::number(m_error.code) + u')';
    // Longer tokens first: "%File" must not eat the start of "%FileError".
    replaceAll(t, QStringLiteral("%FileErrorCode"), QString::number(m_error.osCode));
    replaceAll(t, QStringLiteral("%FileError"), m_error.osText);
    replaceAll(t, QStringLiteral("%File"), m_file);
    replaceAll(t, QStringLiteral("%ErrorCode"), QString::number(m_error.code));
    replaceAll(t, QStringLiteral("%ErrorText"), errorText);
    replaceAll(t, QStringLiteral("%Error"), m_error.text);
    replaceAll(t, QStringLiteral("%Message"), m_message);
    replaceAll(t, QStringLiteral("%Field"), m_field);
    if (t.contains(QStringLiteral("%Previous"))) {
        QString previous;
        bool passedLatest = false;
        for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it) {
            if (it->number != number)
                continue;
            if (passedLatest) {
                previous = it->text;
                break;
            }
            passedLatest = true;
        }
        replaceAll(t, QStringLiteral("%Previous"), previous);
    }
    return t;
}

ErrorManager::Outcome ErrorManager::raise(int number)
{
    const Entry* e = find(number);
    if (!e)
        return Outcome::GoOn;
    const QString t = text(number);
    switch (e->level) {
    case 0: return Outcome::GoOn;
    case 1:
    case 4:
        return platform::MessageService::current().show({e->title, t, MessageIcon::Question, Button::Yes | Button::No, Button::Yes}) ==
                       Button::Yes
                   ? Outcome::GoOn
                   : Outcome::GiveUp;
    case 5: platform::MessageService::current().show({e->title, t, MessageIcon::Exclamation, Button::Ok, Button::Ok}); return Outcome::Stay;
    default:
        platform::MessageService::current().show(
            {e->title, t + QStringLiteral("  Press OK to end this application"), MessageIcon::Exclamation, Button::Ok, Button::Ok});
        platform::Runtime::halt(t);
        return Outcome::Ended;
    }
}

} // namespace fundora::backup
