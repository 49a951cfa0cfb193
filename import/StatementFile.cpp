#include "import/StatementFile.h"

#include "platform/pictures/MoneyText.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace fundora::importing {

bool openStatementFile(const QString& path, QFile& file, ReadError& error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        error = {0, QStringLiteral("There is no file %1.").arg(path)};
        return false;
    }
    if (info.size() > MaxStatementFileBytes) {
        error = {0, QStringLiteral("The file is larger than %1 MB: statement files of up to %1 MB are read.")
                        .arg(MaxStatementFileBytes / (1024 * 1024))};
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = {0, QStringLiteral("The file could not be opened: %1").arg(file.errorString())};
        return false;
    }
    return true;
}

bool readPlainAmount(QStringView text, QChar decimalSeparator, platform::Decimal& out)
{
    const std::optional<platform::Decimal> d = platform::readMoney(text, 2, decimalSeparator);
    if (!d)
        return false;
    out = *d;
    return true;
}

namespace {

QString digitsOf(const QString& text)
{
    QString out;
    for (QChar c : text)
        if (c.isDigit())
            out += c;
    return out;
}

} // namespace

int accountMatching(const StatementFile& file, const QString& accountNumber)
{
    const QString wanted = digitsOf(accountNumber);
    if (wanted.isEmpty())
        return -1;
    auto find = [&](auto&& same) {
        int found = -1;
        for (std::size_t i = 0; i < file.accounts.size(); ++i) {
            if (!same(digitsOf(file.accounts[i].number)))
                continue;
            if (found >= 0)
                return -2;
            found = static_cast<int>(i);
        }
        return found;
    };
    const int full = find([&](const QString& n) { return n == wanted; });
    if (full != -1)
        return full < 0 ? -1 : full;
    if (wanted.size() < 4)
        return -1;
    const int lastFour = find([&](const QString& n) { return n.size() >= 4 && n.right(4) == wanted.right(4); });
    return lastFour < 0 ? -1 : lastFour;
}

} // namespace fundora::importing
