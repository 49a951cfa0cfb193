#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace fundora::platform {

namespace {

bool isSectionHeader(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(u'[') || !t.endsWith(u']'))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool keyOfLine(const QString& line, QString* key, QString* value = nullptr)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const int eq = t.indexOf(u'=');
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

} // namespace

IniFile IniFile::fromText(const QString& text)
{
    IniFile ini;
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ini.m_lines = normal.split(u'\n');
    while (!ini.m_lines.isEmpty() && ini.m_lines.last().isEmpty())
        ini.m_lines.removeLast();
    return ini;
}

IniFile IniFile::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return fromText(QString::fromUtf8(f.readAll()));
}

int IniFile::findSection(const QString& section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionHeader(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && !isSectionHeader(m_lines[i]))
        ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const
{
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i)
        if (keyOfLine(m_lines[i], &k) && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    QString k, v;
    keyOfLine(m_lines[line], &k, &v);
    return v;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    return value(section, key).value_or(fallback);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString line = key + QLatin1Char('=') + value;
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(line);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        m_lines[existing] = line;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int end = sectionEnd(header);
    while (end > header + 1 && m_lines[end - 1].trimmed().isEmpty())
        --end;
    m_lines.insert(end, line);
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    const int header = findSection(section);
    if (header < 0)
        return;
    const int line = findKey(header, key);
    if (line >= 0)
        m_lines.removeAt(line);
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    const int header = findSection(section);
    if (header < 0)
        return out;
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i)
        if (keyOfLine(m_lines[i], &k))
            out.append(k);
    return out;
}

bool IniFile::hasSection(const QString& section) const
{
    return findSection(section) >= 0;
}

bool IniFile::save(const QString& path, QString* error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); // private, as the data files are
    f.write(text().toUtf8());
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

QString IniFile::read(const QString& path, const QString& section, const QString& key, const QString& fallback)
{
    return load(path).value(section, key, fallback);
}

bool IniFile::write(const QString& path, const QString& section, const QString& key, const QString& value, QString* error)
{
    // A file that exists but cannot be read must not be replaced by one holding a single key.
    QFile existing(path);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly)) {
        if (error)
            *error = existing.errorString();
        return false;
    }
    IniFile ini = existing.isOpen() ? fromText(QString::fromUtf8(existing.readAll())) : IniFile();
    existing.close();
    ini.setValue(section, key, value);
    return ini.save(path, error);
}

} // namespace fundora::platform
