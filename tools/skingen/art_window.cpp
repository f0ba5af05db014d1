// The main window background: the silhouette that shapes the frameless window
// and the panels under the controls.
#include "art.h"
#include "emblem.h"
#include "theme.h"
#include "windowlayout.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

QPainterPath windowShape()
{
    // A chamfered slab: the left column reaches down to the bottom edge, the
    // page side steps up after it, leaving a notch under the bottom bar.
    QPainterPath path;
    path.moveTo(16, 40);
    path.lineTo(48, 8);
    path.lineTo(971, 8);
    path.lineTo(983, 20);
    path.lineTo(983, 582);
    path.lineTo(959, 606);
    path.lineTo(296, 606);
    path.lineTo(264, 638);
    path.lineTo(28, 638);
    path.lineTo(16, 626);
    path.closeSubpath();
    return path;
}

namespace {

// Hard silhouette: the window mask is one bit deep, so every pixel is either
// fully inside (opaque, edge softened against the dark rim) or fully outside.
void hardenSilhouette(QImage &img)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const int a = qAlpha(c);
            if (a < 128) {
                line[x] = 0;
            } else if (a < 255) {
                // premultiplied: add the missing coverage as the rim colour
                const QColor rim = theme::edgeDark();
                const int k = 255 - a;
                line[x] = qRgba(qRed(c) + rim.red() * k / 255, qGreen(c) + rim.green() * k / 255,
                                qBlue(c) + rim.blue() * k / 255, 255);
            }
        }
    }
}

// A raised panel with a crisp dark frame, lit from above.
void panel(QPainter &p, const QRectF &r, qreal radius)
{
    dropShadow(p, roundedRect(r, radius), QPointF(0, 3), 9, 150, QSize(layout::kWidth, layout::kHeight));
    p.fillPath(roundedRect(r, radius), QColor(0x0a, 0x0b, 0x0e));
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), radius - 1);
    fillVertical(p, face, QColor(0x1d, 0x20, 0x27), QColor(0x17, 0x1a, 0x1f));
    bevel(p, face, 20, 0);
}

// A recessed strip under a row of controls.
void rail(QPainter &p, const QRectF &r, qreal radius)
{
    const QPainterPath outer = roundedRect(r, radius);
    p.fillPath(outer, QColor(255, 255, 255, 14)); // lit lower lip
    const QPainterPath well = roundedRect(r.adjusted(0, 0, 0, -1), radius);
    fillVertical(p, well, QColor(0x0b, 0x0c, 0x10), QColor(0x0f, 0x11, 0x15));
    inset(p, well, 120, 0, 2.0);
}

// A one-pixel engraved line: dark over light.
void groove(QPainter &p, qreal x1, qreal x2, qreal y)
{
    QLinearGradient fade(x1, 0, x2, 0);
    fade.setColorAt(0.0, QColor(0, 0, 0, 0));
    fade.setColorAt(0.15, QColor(0, 0, 0, 150));
    fade.setColorAt(0.85, QColor(0, 0, 0, 150));
    fade.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(x1, y, x2 - x1, 1), fade);
    QLinearGradient lit(x1, 0, x2, 0);
    lit.setColorAt(0.0, QColor(255, 255, 255, 0));
    lit.setColorAt(0.15, QColor(255, 255, 255, 18));
    lit.setColorAt(0.85, QColor(255, 255, 255, 18));
    lit.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(x1, y + 1, x2 - x1, 1), lit);
}

// Corner brackets of a panel, a quiet technical frame.
void corners(QPainter &p, const QRectF &r, qreal leg, const QColor &color)
{
    QPen pen(color, 1.0);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    const qreal l = r.left() + 0.5, t = r.top() + 0.5, rr = r.right() - 0.5, b = r.bottom() - 0.5;
    p.drawLine(QPointF(l, t), QPointF(l + leg, t));
    p.drawLine(QPointF(l, t), QPointF(l, t + leg));
    p.drawLine(QPointF(rr, t), QPointF(rr - leg, t));
    p.drawLine(QPointF(rr, t), QPointF(rr, t + leg));
    p.drawLine(QPointF(l, b), QPointF(l + leg, b));
    p.drawLine(QPointF(l, b), QPointF(l, b - leg));
    p.drawLine(QPointF(rr, b), QPointF(rr - leg, b));
    p.drawLine(QPointF(rr, b), QPointF(rr, b - leg));
    p.setPen(Qt::NoPen);
}

// The accent trims that run along two opposite chamfers.
void trims(QPainter &p, const QSize &size)
{
    QPainterPath top;
    top.moveTo(21, 58);
    top.lineTo(21, 42);
    top.lineTo(50, 13);
    top.lineTo(236, 13);
    top.lineTo(240, 17);
    top.lineTo(252, 17);

    QPainterPath bottom;
    bottom.moveTo(978, 520);
    bottom.lineTo(978, 580);
    bottom.lineTo(957, 601);
    bottom.lineTo(830, 601);
    bottom.lineTo(826, 597);
    bottom.lineTo(812, 597);

    QPen pen(theme::accent(), 2.0);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    QPainterPathStroker stroker(pen);
    const QPainterPath stripes = stroker.createStroke(top) + stroker.createStroke(bottom);
    glow(p, stripes, theme::withAlpha(theme::accent(), 150), 8, size);
    QLinearGradient g(0, 0, 999, 640);
    g.setColorAt(0.0, theme::accentLight());
    g.setColorAt(1.0, theme::accent());
    p.fillPath(stripes, g);
}

void brand(QPainter &p)
{
    const QRect area = layout::brand();
    drawEmblem(p, QRectF(area.left() + 4, area.top() + 2, 36, 40), QSize(layout::kWidth, layout::kHeight));

    p.setPen(QColor(0xe2, 0xe4, 0xe8));
    p.setFont(uiFont(15, true, 108));
    p.drawText(QRectF(area.left() + 48, area.top() + 5, 160, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("GAMING MOUSE"));
    p.setPen(QColor(0x7d, 0x83, 0x8e));
    p.setFont(uiFont(8, false, 142));
    p.drawText(QRectF(area.left() + 49, area.top() + 25, 160, 12), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("CONFIGURATION CENTER"));
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(area.left() + 49, area.top() + 39, 22, 2), theme::accent());
    p.fillRect(QRectF(area.left() + 73, area.top() + 39, 110, 1), QColor(255, 255, 255, 24));
}

void leftColumn(QPainter &p)
{
    const QRect col = layout::leftColumn();
    panel(p, col, 6);

    // The hub above the version line: concentric hexagons around a lit core.
    const QPointF hub(col.center().x() + 0.5, 127);
    auto hexagon = [&](qreal r) {
        QPainterPath h;
        for (int i = 0; i < 6; ++i) {
            const qreal a = M_PI / 3 * i - M_PI / 2;
            const QPointF pt = hub + QPointF(r * std::cos(a), r * std::sin(a));
            if (i == 0)
                h.moveTo(pt);
            else
                h.lineTo(pt);
        }
        h.closeSubpath();
        return h;
    };
    const QSize canvasSize(layout::kWidth, layout::kHeight);
    QRadialGradient halo(hub, 62);
    halo.setColorAt(0.0, theme::withAlpha(theme::accent(), 34));
    halo.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
    p.fillPath(hexagon(62), halo);
    p.fillPath(hexagon(44), QColor(0x0c, 0x0d, 0x11));
    inset(p, hexagon(44), 140, 20, 2.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x33, 0x38, 0x42), 1.0));
    p.drawPath(hexagon(52));
    p.setPen(QPen(QColor(0x26, 0x2a, 0x32), 1.0));
    p.drawPath(hexagon(30));
    p.setPen(Qt::NoPen);
    // accent arcs on two sides of the outer ring
    QPen arc(theme::accent(), 2.0);
    arc.setCapStyle(Qt::FlatCap);
    QPainterPathStroker st(arc);
    QPainterPath segs;
    const qreal r = 52;
    for (int side : {0, 3}) {
        const qreal a1 = M_PI / 3 * side - M_PI / 2, a2 = a1 + M_PI / 3;
        segs.moveTo(hub + QPointF(r * std::cos(a1), r * std::sin(a1)));
        segs.lineTo(hub + QPointF(r * std::cos(a2), r * std::sin(a2)));
    }
    const QPainterPath arcs = st.createStroke(segs);
    glow(p, arcs, theme::withAlpha(theme::accent(), 140), 6, canvasSize);
    p.fillPath(arcs, theme::accent());
    drawEmblemMark(p, QRectF(hub.x() - 15, hub.y() - 17, 30, 34), canvasSize);

    groove(p, col.left() + 12, col.right() - 12, 206);

    // Well behind the five profile buttons.
    const QRectF well(64, 246, 164, 175);
    rail(p, well, 5);

    groove(p, col.left() + 12, col.right() - 12, 562);

    // Status well: battery and connection.
    rail(p, QRectF(61, 571, 178, 55), 5);
}

void pageArea(QPainter &p)
{
    const QRect page = layout::pageArea();
    panel(p, page, 6);
    const QPainterPath face = roundedRect(QRectF(page).adjusted(1, 1, -1, -1), 5);
    // A spotlight where the mouse picture stands.
    const QRect pic = layout::mousePicture();
    QRadialGradient spot(QPointF(pic.center().x() + 0.5, pic.top() + 120), 300);
    spot.setColorAt(0.0, QColor(255, 255, 255, 16));
    spot.setColorAt(0.6, QColor(255, 255, 255, 4));
    spot.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(face, spot);
    dotGrid(p, roundedRect(QRectF(page).adjusted(6, 6, -6, -6), 4), 12, QColor(255, 255, 255, 10));
    corners(p, QRectF(page).adjusted(4, 4, -4, -4), 8, QColor(0x3d, 0x43, 0x4e));
    // An accent tick on the lit corner.
    p.fillRect(QRectF(page.left() + 4, page.top() + 4, 8, 2), theme::accent());
    p.fillRect(QRectF(page.left() + 4, page.top() + 4, 2, 8), theme::accent());
}

void header(QPainter &p)
{
    // Rail under the four page tabs and the one under the window controls.
    rail(p, QRectF(281, 34, 377, 36), 6);
    rail(p, QRectF(664, 28, 286, 30), 6);
    // Divider between brand and tabs.
    p.fillRect(QRectF(262, 22, 1, 42), QColor(0, 0, 0, 150));
    p.fillRect(QRectF(263, 22, 1, 42), QColor(255, 255, 255, 16));
}

void bottomBar(QPainter &p)
{
    rail(p, QRectF(281, 554, 673, 40), 6);
    // A separator between the configuration buttons and OK / Cancel / Apply.
    p.fillRect(QRectF(705, 562, 1, 24), QColor(0, 0, 0, 160));
    p.fillRect(QRectF(706, 562, 1, 24), QColor(255, 255, 255, 14));
}

// Quiet vent slits on the two narrow margins beside the panels.
void vents(QPainter &p)
{
    for (int i = 0; i < 7; ++i) {
        const qreal y = 292 + i * 9;
        p.fillPath(roundedRect(QRectF(27, y, 14, 3), 1.5), QColor(0, 0, 0, 150));
        p.fillRect(QRectF(28, y + 3, 12, 1), QColor(255, 255, 255, 12));
        p.fillPath(roundedRect(QRectF(959, y, 14, 3), 1.5), QColor(0, 0, 0, 150));
        p.fillRect(QRectF(960, y + 3, 12, 1), QColor(255, 255, 255, 12));
    }
}

} // namespace

QImage mainBackground()
{
    QImage img = canvas(layout::kWidth, layout::kHeight);
    const QSize size = img.size();
    QPainter p(&img);
    prepare(p);

    const QPainterPath shape = windowShape();
    p.fillPath(shape, theme::edgeDark());
    // The body sits one pixel inside the rim.
    QPainterPath inner;
    inner.moveTo(17, 40.4);
    inner.lineTo(48.4, 9);
    inner.lineTo(970.6, 9);
    inner.lineTo(982, 20.4);
    inner.lineTo(982, 581.6);
    inner.lineTo(958.6, 605);
    inner.lineTo(295.6, 605);
    inner.lineTo(263.6, 637);
    inner.lineTo(28.4, 637);
    inner.lineTo(17, 625.6);
    inner.closeSubpath();
    QLinearGradient bodyFill(0, 8, 0, 638);
    bodyFill.setColorAt(0.0, QColor(0x18, 0x1b, 0x21));
    bodyFill.setColorAt(0.12, theme::outer());
    bodyFill.setColorAt(1.0, QColor(0x0f, 0x11, 0x15));
    p.fillPath(inner, bodyFill);
    grain(p, inner, 7, 0x51c0ffee);
    bevel(p, inner, 26, 90, 1.0);

    trims(p, size);
    vents(p);
    header(p);
    brand(p);
    leftColumn(p);
    pageArea(p);
    bottomBar(p);
    p.end();

    hardenSilhouette(img);
    return img;
}

} // namespace skingen
