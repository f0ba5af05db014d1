// Dialog backgrounds, the gun-set pieces, the macro page background and the
// frames of the busy animation.
#include "art.h"
#include "theme.h"
#include "windowlayout.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QtMath>
#include <cmath>

namespace skingen {

namespace {

// A recessed well for a group of controls inside a dialog.
void well(QPainter &p, const QRectF &r, qreal radius)
{
    p.fillPath(roundedRect(r, radius), QColor(255, 255, 255, 14));
    const QPainterPath w = roundedRect(r.adjusted(0, 0, 0, -1), radius);
    fillVertical(p, w, QColor(0x0b, 0x0c, 0x10), QColor(0x10, 0x12, 0x16));
    inset(p, w, 120, 0, 2.0);
}

} // namespace

QImage dialogBackground(int width, int height, bool withHeaderBand)
{
    // Fully opaque: the dialogs stretch it over their whole rectangle and draw
    // their theme-coloured frame one pixel inside the edge.
    QImage img = canvas(width, height);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, width, height);
    QLinearGradient base(0, 0, 0, height);
    base.setColorAt(0.0, QColor(0x1e, 0x21, 0x28));
    base.setColorAt(1.0, QColor(0x13, 0x15, 0x19));
    p.fillRect(r, base);
    grain(p, roundedRect(r, 0), 6, 0x0d1a1057u ^ quint32(width * 7 + height));
    if (withHeaderBand) {
        const qreal band = 58;
        QLinearGradient head(0, 0, 0, band);
        head.setColorAt(0.0, QColor(255, 255, 255, 14));
        head.setColorAt(1.0, QColor(255, 255, 255, 4));
        p.fillRect(QRectF(0, 0, width, band), head);
        p.fillRect(QRectF(12, band, width - 24, 1), QColor(0, 0, 0, 150));
        p.fillRect(QRectF(12, band + 1, width - 24, 1), QColor(255, 255, 255, 16));
        // accent tick in front of the heading, slashes at the far end
        p.fillRect(QRectF(9, 21, 3, 18), theme::accent());
        for (int i = 0; i < 4; ++i) {
            QPainterPath slash;
            const qreal x = width - 62 + i * 9;
            slash.moveTo(x + 6, 22);
            slash.lineTo(x + 10, 22);
            slash.lineTo(x + 4, 38);
            slash.lineTo(x, 38);
            slash.closeSubpath();
            p.fillPath(slash, theme::withAlpha(theme::accent(), 160 - i * 35));
        }
    }
    // darker foot where the accept and reject buttons stand
    QLinearGradient foot(0, height - 64, 0, height);
    foot.setColorAt(0.0, QColor(0, 0, 0, 0));
    foot.setColorAt(1.0, QColor(0, 0, 0, 70));
    p.fillRect(QRectF(0, height - 64, width, 64), foot);
    return img;
}

QImage gunDialogBackground()
{
    QImage img = dialogBackground(619, 400);
    QPainter p(&img);
    prepare(p);
    // the shot area, repainted by the dialog when the number of shots changes
    well(p, QRectF(159, 137, 297, 48), 5);
    return img;
}

QImage gunSetTrack()
{
    // The rail drawn in the shot area: five stations, one per shot.
    const int w = 297, h = 48;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF track(10, 30, w - 20, 5);
    p.fillPath(roundedRect(track.adjusted(0, 0, 0, 1), 2.5), QColor(255, 255, 255, 16));
    const QPainterPath groove = roundedRect(track, 2.5);
    fillVertical(p, groove, QColor(0x06, 0x07, 0x09), QColor(0x10, 0x12, 0x16));
    inset(p, groove, 120, 0, 1.5);
    for (int i = 0; i < 5; ++i) {
        const qreal x = std::round(30 + i * (w - 60) / 4.0);
        p.fillRect(QRectF(x - 0.5, 38, 1, 5), QColor(0x5a, 0x60, 0x6b));
        QPainterPath stud;
        stud.addEllipse(QPointF(x, 32.5), 3.5, 3.5);
        p.fillPath(stud, QColor(0x2a, 0x2e, 0x36));
        QPainterPath pin;
        pin.addEllipse(QPointF(x, 32.5), 1.5, 1.5);
        p.fillPath(pin, theme::withAlpha(theme::accent(), 200));
    }
    return img;
}

QImage gunSetBullet()
{
    const int w = 16, h = 40;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    // tip
    QPainterPath tip;
    tip.moveTo(3, 15);
    tip.cubicTo(3, 6, 6, 1.5, 8, 1);
    tip.cubicTo(10, 1.5, 13, 6, 13, 15);
    tip.closeSubpath();
    QLinearGradient tipFill(3, 0, 13, 0);
    tipFill.setColorAt(0.0, theme::accentDark());
    tipFill.setColorAt(0.35, theme::accentLight());
    tipFill.setColorAt(1.0, theme::accentDark());
    p.fillPath(tip, tipFill);
    // case
    const QRectF body(2.5, 15, 11, 22);
    QLinearGradient caseFill(body.left(), 0, body.right(), 0);
    caseFill.setColorAt(0.0, QColor(0x5c, 0x61, 0x6a));
    caseFill.setColorAt(0.35, QColor(0xd0, 0xd4, 0xda));
    caseFill.setColorAt(1.0, QColor(0x4a, 0x4f, 0x57));
    p.fillPath(roundedRect(body, 1), caseFill);
    p.fillRect(QRectF(2.5, 15, 11, 1), QColor(0, 0, 0, 120));
    p.fillRect(QRectF(2, 35, 12, 3), QColor(0x3a, 0x3f, 0x47));
    return img;
}

QImage macroPageBackground()
{
    // The page lies exactly over the window's page area, so it shows the same
    // surface and the seam is invisible.
    return mainBackground().copy(layout::pageArea());
}

QVector<QImage> busyFrames(int count)
{
    QVector<QImage> frames;
    const QPointF c(64, 64);
    const qreal radius = 34;
    const qreal width = 8;
    const QRectF ring(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    for (int k = 0; k < count; ++k) {
        QImage img = canvas(128, 128);
        QPainter p(&img);
        prepare(p);
        // the faint track
        QPen track(theme::withAlpha(theme::accent(), 52), width);
        p.setPen(track);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ring);

        // the comet: head turning clockwise, its tail fading behind it
        const qreal head = 90.0 - 360.0 * k / count;
        QConicalGradient tail(c, head);
        tail.setColorAt(0.0, theme::accent());
        tail.setColorAt(0.35, theme::withAlpha(theme::accent(), 150));
        tail.setColorAt(0.75, theme::withAlpha(theme::accent(), 0));
        tail.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
        QPen comet(QBrush(tail), width);
        comet.setCapStyle(Qt::FlatCap);
        p.setPen(comet);
        p.drawEllipse(ring);

        // a bright round head
        const qreal rad = qDegreesToRadians(head);
        const QPointF tip(c.x() + radius * std::cos(rad), c.y() - radius * std::sin(rad));
        p.setPen(Qt::NoPen);
        QPainterPath cap;
        cap.addEllipse(tip, width / 2, width / 2);
        glow(p, cap, theme::withAlpha(theme::accentLight(), 220), 6, img.size());
        p.fillPath(cap, QColor(255, 200, 140));
        p.end();
        frames.append(img);
    }
    return frames;
}

} // namespace skingen
