// The macro editor's own pictures: the record button in its two faces (a red
// dot to start, a square to stop) and the small arrows of the row tools.
#include "art.h"
#include "theme.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace skingen {
namespace {

void recordFace(QPainter &p, const QRectF &r, Look look)
{
    const QPainterPath outer = roundedRect(r, 4);
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 3);
    const QColor rim = look == Look::Hover ? QColor(0x6a, 0x2a, 0x1e)
                     : look == Look::Pressed ? theme::accent()
                                            : QColor(0x0a, 0x0b, 0x0e);
    p.fillPath(outer, rim);
    if (look == Look::Pressed) {
        fillVertical(p, face, QColor(0x16, 0x18, 0x1d), QColor(0x21, 0x24, 0x2b));
        inset(p, face, 130, 0, 2.0);
    } else {
        const bool off = look == Look::Disabled;
        const bool hot = look == Look::Hover;
        fillVertical(p, face, off ? QColor(0x20, 0x22, 0x27) : hot ? QColor(0x3a, 0x3f, 0x4b) : QColor(0x2c, 0x30, 0x39),
                     off ? QColor(0x1a, 0x1c, 0x20) : hot ? QColor(0x29, 0x2d, 0x36) : QColor(0x1f, 0x22, 0x29));
        bevel(p, face, off ? 10 : 30, 60);
    }
}

} // namespace

QImage recordButton(bool stop, Look look)
{
    const int w = 110, h = 28;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    recordFace(p, QRectF(0, 0, w, h), look);
    // The lamp at the left end; the button writes START or STOP beside it.
    const QPointF c(16, h / 2.0);
    const bool off = look == Look::Disabled;
    const QColor red = off ? QColor(0x6a, 0x3a, 0x38) : QColor(0xe8, 0x3a, 0x2c);
    if (!off) {
        QRadialGradient halo(c, 10);
        halo.setColorAt(0.0, QColor(0xff, 0x50, 0x30, look == Look::Normal ? 70 : 120));
        halo.setColorAt(1.0, QColor(0xff, 0x50, 0x30, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, 10, 10);
    }
    QPainterPath lamp;
    if (stop)
        lamp.addRoundedRect(QRectF(c.x() - 5, c.y() - 5, 10, 10), 1.5, 1.5);
    else
        lamp.addEllipse(c, 5.5, 5.5);
    QLinearGradient fill(0, c.y() - 6, 0, c.y() + 6);
    fill.setColorAt(0.0, red.lighter(135));
    fill.setColorAt(1.0, red.darker(125));
    p.fillPath(lamp, fill);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(lamp);
    return img;
}

QImage rowToolArrow(RowArrow arrow, Look look)
{
    const int side = 28;
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    recordFace(p, QRectF(0, 0, side, side), look);
    const QColor ink = look == Look::Disabled ? theme::textDim()
                     : look == Look::Normal   ? theme::glyph()
                                              : theme::accentLight();
    const qreal mid = side / 2.0;
    switch (arrow) {
    case RowArrow::Up:
        chevronUp(p, QPointF(mid, mid), 6, ink, 2.0);
        break;
    case RowArrow::Down:
        chevronDown(p, QPointF(mid, mid), 6, ink, 2.0);
        break;
    case RowArrow::Bottom:
        chevronDown(p, QPointF(mid, mid - 2), 6, ink, 2.0);
        p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(mid - 6, mid + 5), QPointF(mid + 6, mid + 5));
        break;
    }
    return img;
}

Pictures macroEditorPictures()
{
    Pictures list;
    const Look looks[4] = {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled};
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        list.push_back({QStringLiteral("record_start") + n + QStringLiteral(".png"), recordButton(false, looks[i])});
        list.push_back({QStringLiteral("record_stop") + n + QStringLiteral(".png"), recordButton(true, looks[i])});
        list.push_back({QStringLiteral("row_up") + n + QStringLiteral(".png"), rowToolArrow(RowArrow::Up, looks[i])});
        list.push_back({QStringLiteral("row_down") + n + QStringLiteral(".png"), rowToolArrow(RowArrow::Down, looks[i])});
        list.push_back({QStringLiteral("row_bottom") + n + QStringLiteral(".png"),
                        rowToolArrow(RowArrow::Bottom, looks[i])});
    }
    return list;
}

} // namespace skingen
