#include "platform/report/ReportPage.h"

#include <QDataStream>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace fundora::platform {

namespace {

constexpr quint32 PageMagic = 0x46525047; // "FRPG"
constexpr quint16 PageVersion = 1;

// The family a report's "Arial" is drawn in: Liberation Sans (metric-compatible
// with Arial, from the fonts-liberation2 package the program depends on),
// loaded from its files by name so that whatever else the machine has
// installed ("Arial" taken by another family through fontconfig's aliases)
// never changes how a page looks.
QString reportFamily(const QString& asked)
{
    if (asked != QStringLiteral("Arial"))
        return asked;
    static const QString family = [] {
        QString loaded;
        for (const char* style : {"Regular", "Bold", "Italic", "BoldItalic"}) {
            const int id = QFontDatabase::addApplicationFont(
                QStringLiteral(FUNDORA_REPORT_FONT_DIR "/LiberationSans-%1.ttf").arg(QLatin1String(style)));
            if (id >= 0 && loaded.isEmpty() && !QFontDatabase::applicationFontFamilies(id).isEmpty())
                loaded = QFontDatabase::applicationFontFamilies(id).first();
        }
        return loaded.isEmpty() ? QStringLiteral("Liberation Sans") : loaded;
    }();
    return family;
}

QFont qtFont(const ReportFont& f)
{
    QFont font(reportFamily(f.family));
    // Sized in layout units: the painter's scale turns them into device pixels.
    font.setPixelSize(std::max(1, (f.pointSize * 1000 + 36) / 72));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: the text of a PDF then reads "fi", not one ligature sign that searches miss.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferNoShaping));
    return font;
}

void paintPicture(QPainter& painter, const QRect& rect, const QString& resource)
{
    if (resource.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(resource);
        if (svg.isValid()) {
            svg.render(&painter, rect);
            return;
        }
    }
    QImageReader reader(resource);
    const QImage image = reader.read();
    if (!image.isNull())
        painter.drawImage(rect, image);
}

} // namespace

void ReportPage::text(const QRect& box, const QString& text, const ReportFont& font, Qt::Alignment alignment)
{
    QRect r = box;
    if (r.width() <= 0)
        r.setRight(PaperWidth);
    if (r.height() <= 0)
        r.setHeight(font.lineHeight());
    m_items.push_back({Item::Text, r, text, font, static_cast<int>(alignment)});
}

void ReportPage::line(const QPoint& from, const QPoint& to)
{
    m_items.push_back({Item::Line, QRect(from, to), {}, {}, 0});
}

void ReportPage::box(const QRect& rect)
{
    m_items.push_back({Item::Box, rect, {}, {}, 0});
}

void ReportPage::picture(const QRect& rect, const QString& resource)
{
    m_items.push_back({Item::Picture, rect, resource, {}, 0});
}

QStringList ReportPage::texts() const
{
    QStringList out;
    for (const Item& item : m_items)
        if (item.kind == Item::Text)
            out << item.text;
    return out;
}

void ReportPage::paint(QPainter& painter, const QRectF& paper) const
{
    painter.save();
    painter.translate(paper.topLeft());
    painter.scale(paper.width() / PaperWidth, paper.height() / PaperHeight);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QPen(Qt::black, 10)); // lines a hundredth of an inch wide
    painter.setBrush(Qt::NoBrush);
    for (const Item& item : m_items) {
        switch (item.kind) {
        case Item::Text:
            painter.setFont(qtFont(item.font));
            painter.drawText(item.rect, item.alignment | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, item.text);
            break;
        case Item::Line: painter.drawLine(item.rect.topLeft(), item.rect.bottomRight() + QPoint(1, 1)); break;
        case Item::Box: painter.drawRect(item.rect); break;
        case Item::Picture: paintPicture(painter, item.rect, item.text); break;
        }
    }
    painter.restore();
}

bool ReportPage::save(const QString& path, QString* error) const
{
    // A page is a temporary file of one run, in its private directory: written without a sync
    // (a run that stops throws its pages away), made readable by its owner alone.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QDataStream out(&file);
    out << PageMagic << PageVersion << static_cast<quint32>(m_items.size());
    for (const Item& i : m_items)
        out << static_cast<quint8>(i.kind) << i.rect << i.text << i.font.family << static_cast<qint32>(i.font.pointSize) << i.font.bold
            << i.font.italic << i.font.underline << static_cast<qint32>(i.alignment);
    if (out.status() != QDataStream::Ok || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<ReportPage> ReportPage::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    quint32 magic = 0, count = 0;
    quint16 version = 0;
    in >> magic >> version >> count;
    if (magic != PageMagic || version != PageVersion || in.status() != QDataStream::Ok)
        return std::nullopt;
    ReportPage page;
    for (quint32 n = 0; n < count; ++n) {
        quint8 kind = 0;
        qint32 size = 0, alignment = 0;
        Item i;
        in >> kind >> i.rect >> i.text >> i.font.family >> size >> i.font.bold >> i.font.italic >> i.font.underline >> alignment;
        if (in.status() != QDataStream::Ok || kind > Item::Picture)
            return std::nullopt;
        i.kind = static_cast<Item::Kind>(kind);
        i.font.pointSize = size;
        i.alignment = alignment;
        page.m_items.push_back(std::move(i));
    }
    return page;
}

} // namespace fundora::platform
