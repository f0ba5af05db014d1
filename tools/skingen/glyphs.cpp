#include "glyphs.h"

#include <QPainterPath>
#include <cmath>

namespace skingen {

namespace {

QPen linePen(const QColor &c, qreal w)
{
    QPen pen(c, w);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// An arrow along a vertical line from `from` to `to`, head at `to`.
void arrow(QPainter &p, const QPointF &from, const QPointF &to, qreal head)
{
    p.drawLine(from, to);
    const qreal dir = to.y() < from.y() ? 1.0 : -1.0;
    const QPointF pts[3] = {to + QPointF(-head, dir * head), to, to + QPointF(head, dir * head)};
    p.drawPolyline(pts, 3);
}

} // namespace

void drawGlyph(QPainter &p, Glyph glyph, const QRectF &b, const QColor &color, qreal w)
{
    p.save();
    p.setPen(linePen(color, w));
    p.setBrush(Qt::NoBrush);
    const QPointF c = b.center();
    const qreal s = std::min(b.width(), b.height());
    switch (glyph) {
    case Glyph::Minus:
        p.drawLine(QPointF(b.left(), c.y()), QPointF(b.right(), c.y()));
        break;
    case Glyph::Cross:
        p.drawLine(b.topLeft(), b.bottomRight());
        p.drawLine(b.topRight(), b.bottomLeft());
        break;
    case Glyph::Plus:
        p.drawLine(QPointF(b.left(), c.y()), QPointF(b.right(), c.y()));
        p.drawLine(QPointF(c.x(), b.top()), QPointF(c.x(), b.bottom()));
        break;
    case Glyph::Reset: {
        const QRectF ring = QRectF(c.x() - s / 2, c.y() - s / 2, s, s).adjusted(w / 2, w / 2, -w / 2, -w / 2);
        p.drawArc(ring, 100 * 16, 290 * 16);
        // arrow head at the arc's start (top, pointing left)
        const QPointF tip(ring.center().x() - ring.width() * 0.17, ring.top());
        p.setBrush(color);
        p.setPen(Qt::NoPen);
        const qreal h = s * 0.30;
        const QPointF head[3] = {tip + QPointF(-h * 0.1, -h * 0.62), tip + QPointF(-h * 0.1, h * 0.62),
                                 tip + QPointF(-h * 1.0, 0)};
        p.drawPolygon(head, 3);
        break;
    }
    case Glyph::Trash: {
        const qreal top = b.top() + s * 0.18;
        p.drawLine(QPointF(b.left(), top), QPointF(b.right(), top));
        p.drawLine(QPointF(c.x() - s * 0.16, b.top()), QPointF(c.x() + s * 0.16, b.top()));
        QPainterPath can;
        can.moveTo(b.left() + s * 0.12, top);
        can.lineTo(b.left() + s * 0.2, b.bottom());
        can.lineTo(b.right() - s * 0.2, b.bottom());
        can.lineTo(b.right() - s * 0.12, top);
        p.drawPath(can);
        break;
    }
    case Glyph::Copy: {
        const qreal k = s * 0.68;
        p.drawRoundedRect(QRectF(b.left(), b.top(), k, k), 1.5, 1.5);
        p.setBrush(p.pen().color());
        p.drawRoundedRect(QRectF(b.right() - k, b.bottom() - k, k, k), 1.5, 1.5);
        break;
    }
    case Glyph::List:
        for (int i = 0; i < 3; ++i) {
            const qreal y = b.top() + b.height() * (0.15 + 0.35 * i);
            p.drawPoint(QPointF(b.left() + w / 2, y));
            p.drawLine(QPointF(b.left() + s * 0.32, y), QPointF(b.right(), y));
        }
        break;
    case Glyph::TrayIn:
    case Glyph::TrayOut: {
        QPainterPath tray;
        const qreal ty = b.top() + b.height() * 0.62;
        tray.moveTo(b.left(), ty);
        tray.lineTo(b.left(), b.bottom());
        tray.lineTo(b.right(), b.bottom());
        tray.lineTo(b.right(), ty);
        p.drawPath(tray);
        if (glyph == Glyph::TrayIn)
            arrow(p, QPointF(c.x(), b.top()), QPointF(c.x(), b.bottom() - s * 0.25), s * 0.24);
        else
            arrow(p, QPointF(c.x(), b.bottom() - s * 0.25), QPointF(c.x(), b.top()), s * 0.24);
        break;
    }
    case Glyph::ToTop:
        p.drawLine(QPointF(b.left(), b.top()), QPointF(b.right(), b.top()));
        arrow(p, QPointF(c.x(), b.bottom()), QPointF(c.x(), b.top() + s * 0.3), s * 0.3);
        break;
    case Glyph::Globe: {
        const QRectF ring(c.x() - s / 2 + w / 2, c.y() - s / 2 + w / 2, s - w, s - w);
        p.drawEllipse(ring);
        p.drawEllipse(QRectF(c.x() - ring.width() * 0.22, ring.top(), ring.width() * 0.44, ring.height()));
        p.drawLine(QPointF(ring.left(), c.y()), QPointF(ring.right(), c.y()));
        break;
    }
    }
    p.restore();
}

} // namespace skingen
