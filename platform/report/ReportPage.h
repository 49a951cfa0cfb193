#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QPainter;

namespace fundora::platform {

// Report pages are US Letter, measured in layout units of 1/1000 inch.
inline constexpr int PaperWidth = 8500;
inline constexpr int PaperHeight = 11000;

struct ReportFont {
    QString family = QStringLiteral("Arial");
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    // The height of one line of this font in layout units.
    int lineHeight() const { return pointSize * 1000 * 5 / (72 * 4); }
};

// One page as the list of what is drawn on it, in layout units from the
// paper's top-left corner. Kept as drawing steps rather than pixels, a page
// prints and goes into a PDF at the device's own resolution, as real text.
class ReportPage {
public:
    // A text in a box; without a width the box is as wide as the rest of the paper.
    void text(const QRect& box, const QString& text, const ReportFont& font, Qt::Alignment alignment = Qt::AlignLeft);
    void line(const QPoint& from, const QPoint& to);
    void box(const QRect& rect);
    // A picture from the program's resources (an SVG or any image Qt reads), scaled into `rect`.
    void picture(const QRect& rect, const QString& resource);

    bool isEmpty() const { return m_items.empty(); }
    // The texts in drawing order (what a reader of the page would find on it).
    QStringList texts() const;

    // Paints the page so that the paper fills `paper` (in the painter's coordinates).
    void paint(QPainter& painter, const QRectF& paper) const;

    bool save(const QString& path, QString* error = nullptr) const;
    static std::optional<ReportPage> load(const QString& path);

private:
    struct Item {
        enum Kind : quint8 { Text, Line, Box, Picture };
        Kind kind = Text;
        QRect rect;
        QString text; // the text, or the picture's resource
        ReportFont font;
        int alignment = Qt::AlignLeft;
    };
    std::vector<Item> m_items;
};

} // namespace fundora::platform
