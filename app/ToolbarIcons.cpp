#include "app/ToolbarIcons.h"

#include "core/GlobalState.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fundora::app {

namespace {

using namespace core::Command;
constexpr int S = 32;

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c)
{
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    p.drawPath(path);
}

// Arrows for the list movements: `count` triangles pointing left, right, up or down, with an optional bar.
void arrows(QPainter& p, int direction, int count, bool bar)
{
    p.setBrush(QColor(30, 90, 170));
    p.setPen(Qt::NoPen);
    p.save();
    p.translate(S / 2.0, S / 2.0);
    p.rotate(direction * 90.0); // 0 right, 1 down, 2 left, 3 up
    const double w = count == 1 ? 12 : 9;
    double x = -(w * count) / 2.0 + (bar ? 2 : 0);
    for (int i = 0; i < count; ++i, x += w)
        triangle(p, {x, -9}, {x + w, 0}, {x, 9});
    if (bar)
        p.drawRect(QRectF(x, -9, 3, 18));
    p.restore();
}

void text(QPainter& p, const QString& t, QColor colour, int size, QRectF box = QRectF(0, 0, S, S))
{
    QFont f = p.font();
    f.setPixelSize(size);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, t);
}

void page(QPainter& p, QRectF r)
{
    p.setPen(QPen(Qt::darkGray, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(Qt::gray, 1));
    for (double y = r.top() + 5; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void draw(QPainter& p, int command)
{
    switch (command) {
    case 0: text(p, QStringLiteral("$"), QColor(0, 120, 40), 28); break;
    case FirstPage: arrows(p, 2, 2, true); break;
    case PreviousPage: arrows(p, 2, 2, false); break;
    case PreviousRecord: arrows(p, 3, 1, false); break;
    case NextRecord: arrows(p, 1, 1, false); break;
    case NextPage: arrows(p, 0, 2, false); break;
    case LastPage: arrows(p, 0, 2, true); break;
    case Locate:
        p.setPen(QPen(QColor(60, 60, 60), 3));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRectF(5, 5, 15, 15));
        p.drawLine(QPointF(18, 18), QPointF(27, 27));
        break;
    case Select:
        p.setPen(QPen(QColor(0, 140, 60), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(6, 17), QPointF(13, 24), QPointF(26, 8)}));
        break;
    case Insert:
        page(p, QRectF(5, 3, 18, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 140, 60));
        p.drawRect(QRectF(18, 16, 12, 4));
        p.drawRect(QRectF(22, 12, 4, 12));
        break;
    case Change:
        page(p, QRectF(4, 3, 18, 24));
        p.setPen(QPen(QColor(200, 140, 0), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 26), QPointF(28, 10));
        break;
    case Delete:
        p.setPen(QPen(QColor(200, 30, 30), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case Ditto: text(p, QStringLiteral("\u201d"), QColor(60, 60, 60), 30); break;
    case Help:
        p.setBrush(QColor(30, 90, 170));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        text(p, QStringLiteral("?"), Qt::white, 20);
        break;
    case Calculator:
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(QColor(235, 235, 235));
        p.drawRoundedRect(QRectF(6, 2, 20, 28), 2, 2);
        p.setBrush(QColor(180, 220, 180));
        p.drawRect(QRectF(9, 5, 14, 6));
        p.setBrush(Qt::darkGray);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRect(QRectF(9 + c * 5, 14 + r * 5, 3, 3));
        break;
    case Calendar:
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 6, 24, 22));
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(4, 6, 24, 6));
        text(p, QStringLiteral("6"), Qt::black, 13, QRectF(4, 12, 24, 16));
        break;
    case Payment:
        p.setPen(QPen(QColor(40, 100, 60), 1.5));
        p.setBrush(QColor(220, 245, 225));
        p.drawRect(QRectF(2, 8, 28, 16));
        text(p, QStringLiteral("$"), QColor(0, 110, 40), 13, QRectF(2, 8, 12, 16));
        p.drawLine(QPointF(15, 19), QPointF(27, 19));
        break;
    case History:
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(QColor(255, 250, 220));
        p.drawEllipse(QRectF(4, 4, 24, 24));
        p.drawLine(QPointF(16, 16), QPointF(16, 8));
        p.drawLine(QPointF(16, 16), QPointF(22, 19));
        break;
    case Current:
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QList<QColor>{QColor(170, 40, 40), QColor(40, 90, 160), QColor(40, 130, 60)}[i]);
            p.drawRect(QRectF(5 + i * 8, 5 + (i == 1 ? 2 : 0), 7, 23 - (i == 1 ? 2 : 0)));
        }
        break;
    case Report:
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(3, 13, 26, 11));
        page(p, QRectF(8, 3, 16, 12));
        page(p, QRectF(8, 21, 16, 8));
        break;
    case PrintAll: page(p, QRectF(6, 2, 20, 28)); break;
    case Exit:
        p.setPen(QPen(QColor(90, 60, 30), 1.5));
        p.setBrush(QColor(160, 110, 60));
        p.drawRect(QRectF(8, 3, 16, 26));
        p.setBrush(Qt::yellow);
        p.drawEllipse(QRectF(19, 15, 3, 3));
        break;
    default: break;
    }
}

} // namespace

QIcon toolbarIcon(int command)
{
    QPixmap pixmap(S, S);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, command);
    p.end();
    return QIcon(pixmap);
}

} // namespace fundora::app
