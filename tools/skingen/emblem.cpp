#include "emblem.h"

#include "kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <cmath>

namespace skingen {

QPainterPath hexagonIn(const QRectF &b)
{
    QPainterPath h;
    const qreal cx = b.center().x();
    h.moveTo(cx, b.top());
    h.lineTo(b.right(), b.top() + b.height() * 0.25);
    h.lineTo(b.right(), b.top() + b.height() * 0.75);
    h.lineTo(cx, b.bottom());
    h.lineTo(b.left(), b.top() + b.height() * 0.75);
    h.lineTo(b.left(), b.top() + b.height() * 0.25);
    h.closeSubpath();
    return h;
}

void drawEmblemMark(QPainter &p, const QRectF &box, const QSize &canvasSize, qreal penWidth)
{
    // A mouse seen from above: capsule body, button split, lit wheel.
    const qreal w = box.width() * 0.62;
    const qreal h = box.height() * 0.86;
    const QRectF body(box.center().x() - w / 2, box.center().y() - h / 2, w, h);
    QPainterPath outline;
    outline.addRoundedRect(body, w / 2, w / 2);

    QPen pen(theme::accent(), penWidth);
    pen.setCapStyle(Qt::RoundCap);
    QPainterPathStroker stroker(pen);
    QPainterPath split;
    split.moveTo(body.center().x(), body.top() + penWidth / 2);
    split.lineTo(body.center().x(), body.top() + h * 0.40);
    QPainterPath across;
    across.moveTo(body.left() + penWidth / 2, body.top() + h * 0.40);
    across.lineTo(body.right() - penWidth / 2, body.top() + h * 0.40);
    const QPainterPath strokes = stroker.createStroke(outline) + stroker.createStroke(split)
                                 + stroker.createStroke(across);
    const qreal ww = std::max<qreal>(penWidth * 1.3, w * 0.16);
    const QRectF wheel(body.center().x() - ww / 2, body.top() + h * 0.13, ww, h * 0.17);
    QPainterPath wheelPath;
    wheelPath.addRoundedRect(wheel, ww / 2, ww / 2);

    glow(p, strokes + wheelPath, theme::withAlpha(theme::accent(), 120), 6, canvasSize);
    QLinearGradient g(body.topLeft(), body.bottomRight());
    g.setColorAt(0.0, theme::accentLight());
    g.setColorAt(1.0, theme::accent());
    p.fillPath(strokes, g);
    p.fillPath(wheelPath, QColor(255, 214, 170));
}

void drawEmblem(QPainter &p, const QRectF &box, const QSize &canvasSize)
{
    const QPainterPath hex = hexagonIn(box);
    glow(p, hex, theme::withAlpha(theme::accent(), 60), 10, canvasSize);
    p.fillPath(hex, theme::accentDark());
    const QPainterPath face = hexagonIn(box.adjusted(2, 2, -2, -2));
    fillVertical(p, face, QColor(0x26, 0x2a, 0x32), QColor(0x12, 0x14, 0x18));
    bevel(p, face, 40, 0);
    drawEmblemMark(p, box.adjusted(box.width() * 0.27, box.height() * 0.24, -box.width() * 0.27,
                                   -box.height() * 0.24),
                   canvasSize, 1.6);
}

} // namespace skingen
