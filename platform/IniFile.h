#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fundora::platform {

// A Windows-style profile file. Sections and keys are found without regard to
// case; everything not written (comments, other sections, the order of lines)
// is kept as it was. save() replaces the file atomically.
class IniFile {
public:
    IniFile() = default;
    static IniFile load(const QString& path);

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    QStringList keys(const QString& section) const;
    bool hasSection(const QString& section) const;

    QString text() const { return m_lines.join(QLatin1Char('\n')) + (m_lines.isEmpty() ? QString() : QStringLiteral("\n")); }
    static IniFile fromText(const QString& text);
    // Writes through a temporary file and a rename; false (with `error`) on failure.
    bool save(const QString& path, QString* error = nullptr) const;

    // One-call read and write, as a program uses a profile file.
    static QString read(const QString& path, const QString& section, const QString& key, const QString& fallback = {});
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value, QString* error = nullptr);

private:
    // Index of the section header line, or -1.
    int findSection(const QString& section) const;
    // Index past the last line of the section starting at header `header`.
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;

    QStringList m_lines;
};

} // namespace fundora::platform
