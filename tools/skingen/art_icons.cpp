// Status and message icons, the busy plate, the program icon and the macro
// editor's row icons.
#include "art.h"
#include "emblem.h"
#include "glyphs.h"
#include "theme.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

namespace {

QPen roundPen(const QColor &c, qreal w)
{
    QPen pen(c, w);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Brushed metal lit from above, for frames and connectors.
QLinearGradient metal(const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0xc4, 0xc9, 0xd1));
    g.setColorAt(0.45, QColor(0x8d, 0x93, 0x9d));
    g.setColorAt(1.0, QColor(0x5c, 0x61, 0x6a));
    return g;
}

QPainterPath boltPath(const QRectF &b)
{
    // A lightning bolt in a 26 x 40 design box, fitted to the given box.
    static const QPointF pts[] = {{17, 1}, {4, 22.5}, {12, 22.5}, {8.5, 39}, {22.5, 15.5}, {14.2, 15.5}, {19.5, 1}};
    QPainterPath path;
    for (size_t i = 0; i < sizeof(pts) / sizeof(pts[0]); ++i) {
        const QPointF pt(b.left() + pts[i].x() * b.width() / 26.0, b.top() + pts[i].y() * b.height() / 40.0);
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

} // namespace

QImage battery(bool plugged)
{
    QImage img = canvas(86, 47);
    QPainter p(&img);
    prepare(p);
    // The frame surrounds the bar's place (6, 11, 66, 25) with a one-pixel gap.
    const QRectF body(3, 8, 72, 31);
    const QPainterPath frame = roundedRect(body, 5).subtracted(roundedRect(QRectF(5, 10, 68, 27), 3));
    dropShadow(p, roundedRect(body, 5), QPointF(0, 2), 4, 170, img.size());
    const QPainterPath nub = roundedRect(QRectF(76, 17, 5, 13), 1.8);
    dropShadow(p, nub, QPointF(0, 2), 3, 150, img.size());
    p.fillPath(roundedRect(QRectF(5, 10, 68, 27), 3), QColor(0x09, 0x0a, 0x0d));
    p.fillPath(frame, metal(body));
    p.fillPath(nub, metal(QRectF(76, 17, 5, 13)));
    bevel(p, frame, 60, 50, 0.8);

    if (plugged) {
        // A plug on its cable, the mouse drawing power from it.
        const QPointF c(39, 23.5);
        QPainterPath plug;
        plug.addRoundedRect(QRectF(c.x() - 7, c.y() - 6, 11, 12), 2.5, 2.5);
        QPainterPath prongs;
        prongs.addRoundedRect(QRectF(c.x() + 4, c.y() - 4, 6, 2.2), 1, 1);
        prongs.addRoundedRect(QRectF(c.x() + 4, c.y() + 1.8, 6, 2.2), 1, 1);
        QPainterPath cable;
        cable.moveTo(c.x() - 7, c.y());
        cable.cubicTo(c.x() - 14, c.y(), c.x() - 14, c.y() + 7, c.x() - 22, c.y() + 7);
        QPainterPathStroker st(roundPen(Qt::black, 2.2));
        const QPainterPath all = plug + prongs + st.createStroke(cable);
        glow(p, all, theme::withAlpha(theme::accent(), 170), 6, img.size());
        QLinearGradient g(c.x(), c.y() - 6, c.x(), c.y() + 6);
        g.setColorAt(0.0, theme::accentLight());
        g.setColorAt(1.0, theme::accent());
        p.fillPath(all, g);
    } else {
        // faint charge steps under the bar, seen when the bar is empty
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF(8 + i * 16.5, 13, 14.5, 21), QColor(255, 255, 255, 8));
    }
    return img;
}

QImage wireless()
{
    QImage img = canvas(28, 28);
    QPainter p(&img);
    prepare(p);
    const QPointF base(14, 21);
    QPainterPath dot;
    dot.addEllipse(base, 2.4, 2.4);
    glow(p, dot, theme::accent(), 4, img.size());
    p.fillPath(dot, theme::accentLight());
    const qreal radii[3] = {6.0, 10.5, 15.0};
    for (int i = 0; i < 3; ++i) {
        const qreal r = radii[i];
        p.setPen(roundPen(i == 0 ? theme::accent() : (i == 1 ? theme::text() : theme::glyph()), 2.0));
        p.drawArc(QRectF(base.x() - r, base.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    return img;
}

QImage lightning()
{
    QImage img = canvas(26, 40);
    QPainter p(&img);
    prepare(p);
    const QPainterPath bolt = boltPath(QRectF(0, 0, 26, 40));
    glow(p, bolt, theme::withAlpha(theme::accent(), 200), 6, img.size());
    p.fillPath(bolt, theme::accentDark());
    // the face sits inside a thin darker outline
    QPainterPathStroker st(QPen(Qt::black, 1.6));
    const QPainterPath face = bolt.subtracted(st.createStroke(bolt));
    QLinearGradient g(0, 0, 26, 40);
    g.setColorAt(0.0, QColor(255, 226, 180));
    g.setColorAt(0.45, theme::accentLight());
    g.setColorAt(1.0, theme::accent());
    p.fillPath(face, g);
    return img;
}

QImage warningIcon()
{
    QImage img = canvas(45, 45);
    QPainter p(&img);
    prepare(p);
    QPainterPath tri;
    tri.moveTo(22.5, 5);
    tri.lineTo(41, 38);
    tri.lineTo(4, 38);
    tri.closeSubpath();
    // round the corners with a thick round-joined stroke of the same shape
    QPainterPathStroker st(roundPen(Qt::black, 5.0));
    const QPainterPath shape = (tri + st.createStroke(tri)).simplified();
    glow(p, shape, theme::withAlpha(theme::accent(), 120), 6, img.size());
    p.fillPath(shape, theme::accentDark());
    QPainterPathStroker edge(roundPen(Qt::black, 2.0));
    const QPainterPath face = shape.subtracted(edge.createStroke(shape));
    QLinearGradient g(0, 4, 0, 41);
    g.setColorAt(0.0, theme::accentLight());
    g.setColorAt(1.0, theme::accent());
    p.fillPath(face, g);
    bevel(p, face, 70, 0);
    // the exclamation mark
    const QColor ink(0x16, 0x18, 0x1d);
    p.fillPath(roundedRect(QRectF(20.6, 15, 3.8, 13.5), 1.9), ink);
    QPainterPath dot;
    dot.addEllipse(QPointF(22.5, 33), 2.3, 2.3);
    p.fillPath(dot, ink);
    return img;
}

QImage dongleIcon()
{
    QImage img = canvas(45, 45);
    QPainter p(&img);
    prepare(p);
    // A USB receiver lying on its side, its radio waves rising from it.
    const QRectF plug(3, 28, 13, 11);
    const QRectF body(15, 26, 17, 15);
    dropShadow(p, roundedRect(plug.united(body), 3), QPointF(0, 2), 3, 160, img.size());
    p.fillPath(roundedRect(plug, 1.5), metal(plug));
    p.fillRect(QRectF(5.5, 31, 3, 2), QColor(0x2a, 0x2d, 0x33));
    p.fillRect(QRectF(10, 31, 3, 2), QColor(0x2a, 0x2d, 0x33));
    const QPainterPath shell = roundedRect(body, 3.5);
    p.fillPath(shell, QColor(0x07, 0x08, 0x0a));
    const QPainterPath face = roundedRect(body.adjusted(1, 1, -1, -1), 2.5);
    fillVertical(p, face, QColor(0x3a, 0x3f, 0x4a), QColor(0x1a, 0x1c, 0x21));
    bevel(p, face, 50, 0);
    QPainterPath led;
    led.addEllipse(QPointF(27, 33.5), 1.8, 1.8);
    glow(p, led, theme::accent(), 4, img.size());
    p.fillPath(led, theme::accentLight());

    const QPointF origin(27, 23);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 5.0 + 4.5 * i;
        p.setPen(roundPen(i == 0 ? theme::accent() : (i == 1 ? theme::accentLight() : theme::text()), 2.0));
        p.drawArc(QRectF(origin.x() - r, origin.y() - r, 2 * r, 2 * r), 10 * 16, 70 * 16);
    }
    return img;
}

QImage busyPlate()
{
    QImage img = canvas(128, 128);
    QPainter p(&img);
    prepare(p);
    const QRectF r(4, 4, 120, 120);
    dropShadow(p, roundedRect(r, 18), QPointF(0, 2), 4, 150, img.size());
    p.fillPath(roundedRect(r, 18), QColor(0x08, 0x09, 0x0c, 235));
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 17);
    fillVertical(p, face, QColor(0x1d, 0x20, 0x27, 240), QColor(0x17, 0x1a, 0x1f, 240));
    bevel(p, face, 22, 0);
    return img;
}

QImage appIcon(int side)
{
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    const qreal s = side;
    if (side <= 20) {
        // Small sizes: a solid glyph on a dark tile, every edge on a pixel.
        const QRectF tile(0, 0, s, s);
        p.fillPath(roundedRect(tile, 3), theme::accentDark());
        fillVertical(p, roundedRect(tile.adjusted(1, 1, -1, -1), 2), QColor(0x2a, 0x2e, 0x36),
                     QColor(0x14, 0x16, 0x1a));
        const QRectF body(s * 0.28, s * 0.14, s * 0.44, s * 0.72);
        p.fillPath(roundedRect(body, body.width() / 2), theme::accent());
        p.fillRect(QRectF(std::floor(s / 2) - 0.5, body.top(), 1, body.height() * 0.4), QColor(0x14, 0x16, 0x1a));
        p.fillRect(QRectF(body.left(), body.top() + body.height() * 0.4, body.width(), 1), QColor(0x14, 0x16, 0x1a));
        return img;
    }
    const QRectF tile(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    const qreal radius = s * 0.2;
    dropShadow(p, roundedRect(tile, radius), QPointF(0, s * 0.015), int(s * 0.03) + 1, 160, img.size());
    p.fillPath(roundedRect(tile, radius), theme::accentDark());
    const qreal rim = std::max<qreal>(1.0, s / 48.0);
    const QPainterPath face = roundedRect(tile.adjusted(rim, rim, -rim, -rim), radius - rim);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0.0, QColor(0x30, 0x34, 0x3d));
    g.setColorAt(1.0, QColor(0x10, 0x12, 0x16));
    p.fillPath(face, g);
    QRadialGradient halo(tile.center(), s * 0.42);
    halo.setColorAt(0.0, theme::withAlpha(theme::accent(), 70));
    halo.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
    p.fillPath(face, halo);
    bevel(p, face, 40, 0, std::max<qreal>(1.0, s / 64.0));
    drawEmblemMark(p, tile.adjusted(s * 0.2, s * 0.14, -s * 0.2, -s * 0.14), img.size(), std::max<qreal>(2.0, s / 15.0));
    return img;
}

QImage acceptIcon()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    QPainterPath disc;
    disc.addEllipse(QRectF(2, 2, 28, 28));
    p.fillPath(disc, theme::accentDark());
    QPainterPath face;
    face.addEllipse(QRectF(3, 3, 26, 26));
    fillVertical(p, face, theme::accentLight(), theme::accent());
    bevel(p, face, 70, 30);
    checkMark(p, QRectF(9, 10, 14, 12), Qt::white, 2.6);
    return img;
}

QImage rejectIcon()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    QPainterPath disc;
    disc.addEllipse(QRectF(2, 2, 28, 28));
    p.fillPath(disc, QColor(0x5a, 0x60, 0x6b));
    QPainterPath face;
    face.addEllipse(QRectF(3, 3, 26, 26));
    fillVertical(p, face, QColor(0x33, 0x37, 0x40), QColor(0x1c, 0x1f, 0x25));
    bevel(p, face, 40, 30);
    crossMark(p, QRectF(11, 11, 10, 10), theme::text(), 2.4);
    return img;
}

QImage rowIcon(RowIcon kind)
{
    QImage img = canvas(20, 20);
    QPainter p(&img);
    prepare(p);
    const QColor grey = theme::text();
    const QColor hot = theme::accent();
    auto keycap = [&](const QRectF &r) {
        p.fillPath(roundedRect(r, 2.5), QColor(0x07, 0x08, 0x0a));
        const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 1.8);
        fillVertical(p, face, QColor(0x4a, 0x50, 0x5b), QColor(0x2a, 0x2e, 0x35));
        bevel(p, face, 60, 60);
    };
    switch (kind) {
    case RowIcon::Delay: {
        p.setPen(roundPen(grey, 1.6));
        p.drawEllipse(QPointF(10, 11.5), 6.5, 6.5);
        p.drawLine(QPointF(8, 2), QPointF(12, 2));
        p.drawLine(QPointF(10, 2), QPointF(10, 5));
        p.setPen(roundPen(hot, 1.8));
        p.drawLine(QPointF(10, 11.5), QPointF(10, 7.5));
        p.drawLine(QPointF(10, 11.5), QPointF(12.8, 13));
        break;
    }
    case RowIcon::KeyDown:
        keycap(QRectF(2, 2, 16, 16));
        p.setPen(roundPen(hot, 1.8));
        p.drawLine(QPointF(10, 5.5), QPointF(10, 13.5));
        p.drawLine(QPointF(6.8, 10.5), QPointF(10, 13.5));
        p.drawLine(QPointF(13.2, 10.5), QPointF(10, 13.5));
        break;
    case RowIcon::KeyUp:
        keycap(QRectF(2, 2, 16, 16));
        p.setPen(roundPen(grey, 1.8));
        p.drawLine(QPointF(10, 14.5), QPointF(10, 6.5));
        p.drawLine(QPointF(6.8, 9.5), QPointF(10, 6.5));
        p.drawLine(QPointF(13.2, 9.5), QPointF(10, 6.5));
        break;
    case RowIcon::Keyboard: {
        const QRectF body(1, 5, 18, 11);
        p.fillPath(roundedRect(body, 2.5), QColor(0x07, 0x08, 0x0a));
        const QPainterPath face = roundedRect(body.adjusted(1, 1, -1, -1), 1.8);
        fillVertical(p, face, QColor(0x3a, 0x3f, 0x49), QColor(0x24, 0x27, 0x2e));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 5; ++col)
                p.fillRect(QRectF(3.5 + col * 2.8, 7.5 + row * 2.6, 1.8, 1.6), grey);
        p.fillRect(QRectF(6, 12.8, 8, 1.6), hot);
        break;
    }
    case RowIcon::MouseMove: {
        // a mouse with a motion trail behind it
        const QRectF body(8, 3.5, 9, 13.5);
        p.fillPath(roundedRect(body, 4.5), QColor(0x07, 0x08, 0x0a));
        const QPainterPath face = roundedRect(body.adjusted(1, 1, -1, -1), 3.5);
        fillVertical(p, face, QColor(0x5a, 0x60, 0x6b), QColor(0x2a, 0x2e, 0x35));
        p.fillRect(QRectF(12, 4.5, 1, 4.5), QColor(0x07, 0x08, 0x0a));
        p.fillRect(QRectF(11.8, 5.5, 1.4, 2.5), hot);
        p.setPen(roundPen(hot, 1.5));
        p.drawLine(QPointF(1.5, 8), QPointF(5.5, 8));
        p.drawLine(QPointF(3, 11.5), QPointF(5.5, 11.5));
        p.setPen(roundPen(theme::withAlpha(hot, 140), 1.5));
        p.drawLine(QPointF(1.5, 15), QPointF(5.5, 15));
        break;
    }
    }
    return img;
}

} // namespace skingen
