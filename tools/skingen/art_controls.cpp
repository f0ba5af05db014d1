// Small controls: check boxes, radio indicators, option rows, slider parts and
// the markers placed on the mouse picture.
#include "art.h"
#include "theme.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

QImage checkBox(bool checked, int side)
{
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, side, side);
    const qreal radius = side * 0.2;
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), radius - 1);
    if (!checked) {
        p.fillPath(roundedRect(r, radius), QColor(0x4d, 0x53, 0x5e));
        fillVertical(p, face, QColor(0x0c, 0x0e, 0x11), QColor(0x15, 0x17, 0x1c));
        inset(p, face, 140, 0, 1.5);
    } else {
        p.fillPath(roundedRect(r, radius), theme::accentDark());
        fillVertical(p, face, theme::accentLight(), theme::accent());
        bevel(p, face, 80, 40);
        checkMark(p, r.adjusted(side * 0.22, side * 0.24, -side * 0.22, -side * 0.24), Qt::white,
                  std::max<qreal>(1.6, side / 8.5));
    }
    return img;
}

QImage radioIndicator(bool checked, int side)
{
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0.5, 0.5, side - 1, side - 1);
    QPainterPath outer;
    outer.addEllipse(r);
    QPainterPath face;
    face.addEllipse(r.adjusted(1.3, 1.3, -1.3, -1.3));
    p.fillPath(outer, checked ? theme::accent() : QColor(0x4d, 0x53, 0x5e));
    fillVertical(p, face, QColor(0x0c, 0x0e, 0x11), QColor(0x16, 0x18, 0x1d));
    inset(p, face, 120, 0, 1.5);
    if (checked) {
        const qreal d = side * 0.46;
        QPainterPath dot;
        dot.addEllipse(QRectF(side / 2.0 - d / 2, side / 2.0 - d / 2, d, d));
        glow(p, dot, theme::accent(), 4, img.size());
        QRadialGradient g(QPointF(side / 2.0 - d * 0.15, side / 2.0 - d * 0.2), d * 0.7);
        g.setColorAt(0.0, QColor(255, 214, 170));
        g.setColorAt(1.0, theme::accent());
        p.fillPath(dot, g);
    }
    return img;
}

QImage optionButton(bool on)
{
    const int w = 260, h = 22;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, w, h);
    const QPainterPath row = roundedRect(r, 4);
    p.fillPath(row, QColor(0x0b, 0x0c, 0x10, 200));
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 3);
    fillVertical(p, face, QColor(0x1c, 0x1f, 0x25), QColor(0x17, 0x19, 0x1e));
    if (on) {
        QLinearGradient warm(0, 0, w, 0);
        warm.setColorAt(0.0, theme::withAlpha(theme::accent(), 80));
        warm.setColorAt(0.4, theme::withAlpha(theme::accent(), 12));
        warm.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
        p.fillPath(face, warm);
    }
    bevel(p, face, 16, 0);
    // the round indicator at the left end
    const QImage dot = radioIndicator(on, 14);
    p.drawImage(QPointF(5, 4), dot);
    return img;
}

QImage speedGroove()
{
    const int w = 250, h = 30;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    // scale ticks under the track
    for (int i = 0; i <= 9; ++i) {
        const qreal x = std::round(8 + (w - 17) * i / 9.0);
        p.fillRect(QRectF(x, 21, 1, i % 3 == 0 ? 4 : 3), QColor(0x4a, 0x50, 0x5a));
    }
    const QRectF track(2, 12, w - 4, 6);
    p.fillPath(roundedRect(track.adjusted(0, 0, 0, 1), 3), QColor(255, 255, 255, 16));
    const QPainterPath well = roundedRect(track, 3);
    fillVertical(p, well, QColor(0x07, 0x08, 0x0a), QColor(0x11, 0x13, 0x17));
    inset(p, well, 120, 0, 1.5);
    // an accent thread along the middle of the track
    QLinearGradient thread(track.left(), 0, track.right(), 0);
    thread.setColorAt(0.0, theme::withAlpha(theme::accent(), 200));
    thread.setColorAt(1.0, theme::withAlpha(theme::accent(), 40));
    p.fillRect(QRectF(track.left() + 3, 14.5, track.width() - 6, 1), thread);
    return img;
}

QImage sliderGroove()
{
    const int w = 200, h = 8;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF track(0, 0, w, h - 1);
    p.fillPath(roundedRect(QRectF(0, 0, w, h), 3.5), QColor(255, 255, 255, 16));
    const QPainterPath well = roundedRect(track, 3.5);
    fillVertical(p, well, QColor(0x07, 0x08, 0x0a), QColor(0x12, 0x14, 0x18));
    inset(p, well, 130, 0, 1.5);
    return img;
}

QImage sliderHandle(bool hover)
{
    const int side = 16;
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    QPainterPath ring;
    ring.addEllipse(QRectF(1, 1, side - 2, side - 2));
    QPainterPath knob;
    knob.addEllipse(QRectF(3, 3, side - 6, side - 6));
    if (hover)
        glow(p, ring, theme::withAlpha(theme::accent(), 200), 3, img.size());
    p.fillPath(ring, hover ? theme::accentLight() : theme::accent());
    QRadialGradient g(QPointF(side * 0.42, side * 0.36), side * 0.5);
    g.setColorAt(0.0, QColor(0x4a, 0x50, 0x5b));
    g.setColorAt(1.0, QColor(0x1c, 0x1f, 0x25));
    p.fillPath(knob, g);
    return img;
}

QImage marker(bool selected)
{
    const int side = 18;
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    QPainterPath ring;
    ring.addEllipse(QRectF(2, 2, 14, 14));
    QPainterPath face;
    face.addEllipse(QRectF(3.5, 3.5, 11, 11));
    QPainterPath core;
    core.addEllipse(QRectF(6.5, 6.5, 5, 5));
    if (!selected) {
        dropShadow(p, ring, QPointF(0, 1), 3, 200, img.size());
        p.fillPath(ring, QColor(0xd6, 0xd9, 0xde));
        fillVertical(p, face, QColor(0x23, 0x26, 0x2d), QColor(0x12, 0x14, 0x18));
        p.fillPath(core, QColor(0x9a, 0xa0, 0xaa));
    } else {
        glow(p, ring, theme::accent(), 4, img.size());
        p.fillPath(ring, Qt::white);
        QRadialGradient g(QPointF(8, 7), 7);
        g.setColorAt(0.0, theme::accentLight());
        g.setColorAt(1.0, theme::accent());
        p.fillPath(face, g);
        p.fillPath(core, Qt::white);
    }
    return img;
}

QImage wheelMarker(bool up, int style, bool highlighted)
{
    const int side = 18;
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    const QColor ink = highlighted ? Qt::white : QColor(0xd6, 0xd9, 0xde);
    if (style == 0) {
        // plain rounded square with a solid triangle
        const QPainterPath body = roundedRect(QRectF(2, 2, 14, 14), 3.5);
        const QPainterPath face = roundedRect(QRectF(3, 3, 12, 12), 2.5);
        dropShadow(p, body, QPointF(0, 1), 3, 200, img.size());
        p.fillPath(body, highlighted ? theme::accentLight() : QColor(0x8a, 0x90, 0x9a));
        if (highlighted)
            fillVertical(p, face, theme::accentLight(), theme::accent());
        else
            fillVertical(p, face, QColor(0x2a, 0x2e, 0x36), QColor(0x15, 0x17, 0x1b));
        QPainterPath tri;
        if (up) {
            tri.moveTo(9, 5.5);
            tri.lineTo(13, 11.5);
            tri.lineTo(5, 11.5);
        } else {
            tri.moveTo(9, 12.5);
            tri.lineTo(13, 6.5);
            tri.lineTo(5, 6.5);
        }
        tri.closeSubpath();
        p.fillPath(tri, ink);
    } else {
        // ringed disc with a chevron, the family of the round button markers
        QPainterPath ring;
        ring.addEllipse(QRectF(2, 2, 14, 14));
        QPainterPath face;
        face.addEllipse(QRectF(3.5, 3.5, 11, 11));
        if (highlighted) {
            glow(p, ring, theme::accent(), 4, img.size());
            p.fillPath(ring, Qt::white);
            QRadialGradient g(QPointF(8, 7), 7);
            g.setColorAt(0.0, theme::accentLight());
            g.setColorAt(1.0, theme::accent());
            p.fillPath(face, g);
        } else {
            dropShadow(p, ring, QPointF(0, 1), 3, 200, img.size());
            p.fillPath(ring, theme::accent());
            fillVertical(p, face, QColor(0x23, 0x26, 0x2d), QColor(0x12, 0x14, 0x18));
        }
        if (up)
            chevronUp(p, QPointF(9, 9.2), 3.0, ink, 1.7);
        else
            chevronDown(p, QPointF(9, 8.8), 3.0, ink, 1.7);
    }
    return img;
}

} // namespace skingen
