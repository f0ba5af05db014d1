#include "mouseart.h"

#include "emblem.h"
#include "kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTextStream>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

QPainterPath strokeOf(const QPainterPath &path, qreal width)
{
    QPainterPathStroker st;
    st.setWidth(width);
    st.setJoinStyle(Qt::RoundJoin);
    st.setCapStyle(Qt::RoundCap);
    return st.createStroke(path);
}

// The shape pulled in by d on every side.
QPainterPath shrunk(const QPainterPath &path, qreal d)
{
    return path.subtracted(strokeOf(path, 2 * d)).simplified();
}

// The shape pushed out by d on every side.
QPainterPath grown(const QPainterPath &path, qreal d)
{
    return path.united(strokeOf(path, 2 * d)).simplified();
}

QPainterPath rect(const QRectF &r)
{
    QPainterPath p;
    p.addRect(r);
    return p;
}

QPainterPath pill(const QRectF &r)
{
    QPainterPath p;
    const qreal radius = std::min(r.width(), r.height()) / 2;
    p.addRoundedRect(r, radius, radius);
    return p;
}

QString point(const QPointF &pt)
{
    return QStringLiteral("%1,%2").arg(qRound(pt.x())).arg(qRound(pt.y()));
}

} // namespace

const MouseButtonArt *MouseDesign::button(int number) const
{
    for (const MouseButtonArt &b : buttons)
        if (b.number == number)
            return &b;
    return nullptr;
}

MouseDesign velkorDesign()
{
    MouseDesign d;
    d.name = QStringLiteral("VELKOR");

    // ---- top view: an ergonomic right-hand shell, thumb rest on the left
    QPainterPath body;
    body.moveTo(150, 14);
    body.cubicTo(176, 14, 200, 20, 205, 42);
    body.cubicTo(209, 62, 206, 92, 204, 112);
    body.cubicTo(202, 134, 214, 160, 214, 186);
    body.cubicTo(214, 222, 192, 253, 150, 254);
    body.cubicTo(108, 253, 86, 222, 86, 186);
    body.cubicTo(86, 164, 96, 142, 95, 118);
    body.cubicTo(94, 92, 91, 62, 95, 42);
    body.cubicTo(100, 20, 124, 14, 150, 14);
    body.closeSubpath();
    d.topBody = body;

    d.topWheelWell = QRectF(138, 33, 24, 50);
    d.topWheel = QRectF(142.5, 37, 15, 42);

    // The two main buttons end along a shallow arc behind the wheel.
    QPainterPath front;
    front.moveTo(0, 0);
    front.lineTo(300, 0);
    front.lineTo(300, 140);
    front.quadTo(150, 108, 0, 140);
    front.closeSubpath();
    const QPainterPath buttonZone = body.intersected(front);
    const QPainterPath well = pill(d.topWheelWell.adjusted(-2, -2, 2, 2));
    const QRectF dpiSwitch(142.5, 94, 15, 21);
    const QRectF dpiUp(100, 50, 8, 18);
    const QRectF dpiDown(100, 72, 8, 18);
    QPainterPath cuts = well;
    cuts.addPath(pill(dpiSwitch.adjusted(-2, -2, 2, 2)));
    cuts.addPath(pill(dpiUp.adjusted(-2, -2, 2, 2)));
    cuts.addPath(pill(dpiDown.adjusted(-2, -2, 2, 2)));
    cuts = cuts.simplified();
    const QPainterPath left = buttonZone.intersected(rect(QRectF(0, 0, 148.5, 400))).subtracted(cuts);
    const QPainterPath right = buttonZone.intersected(rect(QRectF(151.5, 0, 150, 400))).subtracted(cuts);

    // Side buttons: the parts that stand proud of the left flank.
    const QPainterPath rim = grown(body, 3.5).subtracted(body);
    const QPainterPath forward = rim.intersected(pill(QRectF(70, 124, 40, 33)));
    const QPainterPath back = rim.intersected(pill(QRectF(66, 161, 40, 34)));

    // Light: a band just inside the rear edge, around the palm.
    const QPainterPath band = shrunk(body, 5).subtracted(shrunk(body, 7.5));
    d.topLight = band.intersected(rect(QRectF(0, 176, 300, 100)));
    d.topLogo = QPointF(150, 196);
    d.wheelUpMarker = QPointF(150, 24);
    d.wheelDownMarker = QPointF(150, 81);

    // ---- side view: left flank, front to the left
    QPainterPath side;
    side.moveTo(34, 204);
    side.cubicTo(24, 200, 20, 189, 24, 179);
    side.cubicTo(30, 165, 56, 151, 100, 142);
    side.cubicTo(150, 132, 200, 120, 232, 127);
    side.cubicTo(262, 135, 281, 166, 276, 194);
    side.cubicTo(273, 204, 264, 208, 250, 208);
    side.lineTo(46, 208);
    side.cubicTo(40, 208, 36, 206, 34, 204);
    side.closeSubpath();
    d.sideBody = side;
    d.sideBaseY = 208;

    QPainterPath seam;
    seam.moveTo(25, 183);
    seam.cubicTo(45, 163, 80, 154, 120, 150);
    seam.cubicTo(170, 145, 215, 142, 240, 147);
    seam.cubicTo(255, 151, 266, 160, 272, 172);
    d.sideSeam = seam;
    {
        QPainterPath above = seam;
        above.lineTo(300, 172);
        above.lineTo(300, 0);
        above.lineTo(0, 0);
        above.lineTo(0, 183);
        above.closeSubpath();
        d.sideShell = side.intersected(above);
    }

    QPainterPath grip;
    grip.moveTo(96, 180);
    grip.cubicTo(130, 175, 190, 172, 226, 176);
    grip.cubicTo(236, 182, 236, 194, 228, 198);
    grip.cubicTo(190, 201, 130, 201, 98, 198);
    grip.cubicTo(88, 193, 88, 185, 96, 180);
    grip.closeSubpath();
    d.sideGrip = grip;

    QPainterPath sideBand;
    sideBand.moveTo(44, 201.5);
    sideBand.lineTo(252, 201.5);
    sideBand.cubicTo(262, 201.5, 268, 197, 270, 190);
    d.sideLight = strokeOf(sideBand, 2.5).intersected(side);
    d.sideWheelCentre = QPointF(70, 148);
    d.sideWheelRadius = 14;

    const QPainterPath sideForward = pill(QRectF(96, 156, 40, 12));
    const QPainterPath sideBack = pill(QRectF(141, 152, 42, 12));
    const QPainterPath sideDpiUp = pill(QRectF(44, 171, 17, 6.5));
    const QPainterPath sideDpiDown = pill(QRectF(67, 164, 18, 6.5));
    QPainterPath sideWheel;
    sideWheel.addEllipse(d.sideWheelCentre, d.sideWheelRadius, d.sideWheelRadius);
    sideWheel = sideWheel.subtracted(side);

    auto add = [&](int n, const char *role, const QPainterPath &top, const QPointF &topAt,
                   const QPainterPath &sidePath, const QPointF &sideAt) {
        MouseButtonArt b;
        b.number = n;
        b.role = QString::fromLatin1(role);
        b.top = top;
        b.topMarker = topAt;
        b.side = sidePath;
        b.sideMarker = sideAt;
        d.buttons.push_back(b);
    };
    // The left button shows only its edge from the side, so it has no marker there.
    add(1, "left", left, QPointF(124, 70), {}, {});
    add(2, "right", right, QPointF(178, 70), {}, {});
    add(3, "middle", pill(d.topWheel), QPointF(150, 58), sideWheel, QPointF(70, 139));
    add(4, "back", back, QPointF(84, 178), sideBack, QPointF(162, 158));
    add(5, "forward", forward, QPointF(88, 141), sideForward, QPointF(116, 162));
    add(6, "dpi switch", pill(dpiSwitch), QPointF(150, 105), {}, {});
    add(7, "dpi +", pill(dpiUp), QPointF(104, 59), sideDpiUp, QPointF(52, 174));
    add(8, "dpi -", pill(dpiDown), QPointF(104, 81), sideDpiDown, QPointF(76, 167));
    return d;
}

std::vector<MouseDesign> mouseDesigns()
{
    return {velkorDesign()};
}

namespace {

const QSize kPicture(kMousePictureWidth, kMousePictureHeight);

// Matte graphite plastic lit from the upper left.
void shell(QPainter &p, const QPainterPath &body, const QPointF &hotSpot, qreal reach)
{
    QRadialGradient g(hotSpot, reach);
    g.setColorAt(0.0, QColor(0x45, 0x4a, 0x54));
    g.setColorAt(0.45, QColor(0x26, 0x29, 0x2f));
    g.setColorAt(1.0, QColor(0x0d, 0x0e, 0x11));
    p.fillPath(body, g);
}

// The program lays other widgets under the mouse area, so nothing may spill
// below it (shadows and halos fade out above it; this only guarantees it).
void clearBelowMouseArea(QImage &img)
{
    for (int y = kMouseArea; y < img.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(img.scanLine(y)), img.width(), QRgb(0));
}

// The lit version of a button: accent glaze, halo and a bright rim.
void lightUp(QPainter &p, const QPainterPath &shape)
{
    glow(p, shape, theme::withAlpha(theme::accent(), 230), 12, kPicture);
    const QRectF b = shape.boundingRect();
    QLinearGradient glaze(b.topLeft(), b.bottomRight());
    glaze.setColorAt(0.0, theme::withAlpha(theme::accentLight(), 235));
    glaze.setColorAt(1.0, theme::withAlpha(theme::accent(), 200));
    p.fillPath(shape, glaze);
    p.save();
    p.setPen(QPen(QColor(255, 220, 180), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.restore();
}

void seam(QPainter &p, const QPainterPath &shape)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 230), 1.6));
    p.drawPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 22), 0.8));
    p.drawPath(shape.translated(0, 1.0));
    p.restore();
}

void accentStrip(QPainter &p, const QPainterPath &strip)
{
    glow(p, strip, theme::withAlpha(theme::accent(), 220), 10, kPicture);
    QLinearGradient g(strip.boundingRect().topLeft(), strip.boundingRect().topRight());
    g.setColorAt(0.0, theme::accent());
    g.setColorAt(0.5, QColor(255, 200, 140));
    g.setColorAt(1.0, theme::accent());
    p.fillPath(strip, g);
}

void wheelTread(QPainter &p, const QRectF &w)
{
    // A rubber cylinder seen from above: light across its crown, ribs along it.
    QLinearGradient g(w.topLeft(), w.bottomLeft());
    g.setColorAt(0.0, QColor(0x0c, 0x0d, 0x10));
    g.setColorAt(0.5, QColor(0x4a, 0x4f, 0x58));
    g.setColorAt(1.0, QColor(0x0c, 0x0d, 0x10));
    const QPainterPath tread = pill(w);
    p.fillPath(tread, g);
    p.save();
    p.setClipPath(tread);
    for (qreal y = w.top() + 2; y < w.bottom() - 1; y += 3.0) {
        const qreal crown = 1.0 - std::abs((y - w.center().y()) / (w.height() / 2));
        p.fillRect(QRectF(w.left(), y, w.width(), 1), QColor(0, 0, 0, int(90 + 90 * crown)));
        p.fillRect(QRectF(w.left() + 2, y + 1, w.width() - 4, 1), QColor(255, 255, 255, int(10 + 26 * crown)));
    }
    p.restore();
}

} // namespace

QImage renderTopView(const MouseDesign &d, int lit)
{
    QImage img = canvas(kMousePictureWidth, kMousePictureHeight);
    QPainter p(&img);
    prepare(p);
    const QRectF bounds = d.topBody.boundingRect();

    // contact shadow on the desk
    dropShadow(p, d.topBody, QPointF(0, 5), 8, 200, kPicture);

    shell(p, d.topBody, QPointF(bounds.center().x() - 14, bounds.top() + bounds.height() * 0.55),
          bounds.height() * 0.62);

    // buttons: a touch lighter than the shell, parted by seams
    for (const MouseButtonArt &b : d.buttons) {
        if (b.top.isEmpty())
            continue;
        const QRectF bb = b.top.boundingRect();
        if (b.role == QLatin1String("middle"))
            continue; // the wheel is drawn with its well
        QLinearGradient g(bb.topLeft(), bb.bottomLeft());
        g.setColorAt(0.0, QColor(0x3c, 0x40, 0x49));
        g.setColorAt(1.0, QColor(0x22, 0x25, 0x2b));
        p.fillPath(b.top, g);
        bevel(p, b.top, 26, 0, 1.0);
        seam(p, b.top);
    }

    // wheel well and wheel, with the light leaking around the tread
    const QPainterPath well = pill(d.topWheelWell);
    p.fillPath(well, QColor(0x05, 0x05, 0x07));
    inset(p, well, 200, 18, 2.0);
    p.save();
    p.setClipPath(well);
    glow(p, pill(d.topWheel.adjusted(-1, 0, 1, 0)), theme::withAlpha(theme::accent(), 170), 6, kPicture);
    p.restore();
    wheelTread(p, d.topWheel);

    // LED dot on the DPI switch
    if (const MouseButtonArt *dpi = d.button(6)) {
        const QPointF c = dpi->top.boundingRect().center();
        QPainterPath led;
        led.addEllipse(QPointF(c.x(), c.y() + 4), 1.6, 1.6);
        glow(p, led, theme::accent(), 4, kPicture);
        p.fillPath(led, QColor(255, 200, 140));
    }
    // tiny engraved + and - on the DPI keys
    auto engrave = [&](int number, bool plus) {
        const MouseButtonArt *b = d.button(number);
        if (!b || b->top.isEmpty())
            return;
        const QPointF c = b->top.boundingRect().center();
        p.fillRect(QRectF(c.x() - 2, c.y() - 0.5, 4, 1), QColor(0x8a, 0x90, 0x9a));
        if (plus)
            p.fillRect(QRectF(c.x() - 0.5, c.y() - 2, 1, 4), QColor(0x8a, 0x90, 0x9a));
    };
    engrave(7, true);
    engrave(8, false);

    // sheen along the hump and light on the upper-left rim
    QRadialGradient sheen(QPointF(bounds.center().x() - 10, bounds.top() + bounds.height() * 0.58),
                          bounds.width() * 0.45);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(d.topBody, sheen);
    p.fillPath(d.topBody.subtracted(d.topBody.translated(1.2, 1.6)), QColor(255, 255, 255, 60));
    p.fillPath(d.topBody.subtracted(d.topBody.translated(-1.5, -1.5)), QColor(0, 0, 0, 120));

    accentStrip(p, d.topLight);
    drawEmblemMark(p, QRectF(d.topLogo.x() - 9, d.topLogo.y() - 12, 18, 24), kPicture, 1.5);

    // the side buttons standing proud of the flank
    for (int n : {4, 5}) {
        const MouseButtonArt *b = d.button(n);
        if (!b || b->top.isEmpty())
            continue;
        p.fillPath(b->top, QColor(0x5a, 0x60, 0x6a));
        p.fillPath(b->top.subtracted(b->top.translated(-1, 0)), QColor(255, 255, 255, 70));
    }

    if (lit > 0) {
        if (const MouseButtonArt *b = d.button(lit); b && !b->top.isEmpty())
            lightUp(p, b->top);
    }
    p.end();
    clearBelowMouseArea(img);
    return img;
}

QImage renderSideView(const MouseDesign &d)
{
    QImage img = canvas(kMousePictureWidth, kMousePictureHeight);
    const QRectF bounds = d.sideBody.boundingRect();
    {
        QPainter p(&img);
        prepare(p);

        // the wheel rising above the shell: rubber tread with fine ribs
        const MouseButtonArt *wheel = d.button(3);
        if (wheel && !wheel->side.isEmpty()) {
            QPainterPath disc;
            disc.addEllipse(d.sideWheelCentre, d.sideWheelRadius, d.sideWheelRadius);
            QRadialGradient g(d.sideWheelCentre - QPointF(2, 5), d.sideWheelRadius * 1.1);
            g.setColorAt(0.0, QColor(0x55, 0x5a, 0x63));
            g.setColorAt(0.8, QColor(0x22, 0x24, 0x29));
            g.setColorAt(1.0, QColor(0x0b, 0x0c, 0x0e));
            p.fillPath(disc, g);
            p.save();
            p.setClipPath(disc);
            for (int i = 0; i < 36; ++i) {
                const qreal a = M_PI * 2 * i / 36;
                const QPointF dir(std::cos(a), std::sin(a));
                p.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
                p.drawLine(d.sideWheelCentre + dir * (d.sideWheelRadius - 2.5),
                           d.sideWheelCentre + dir * d.sideWheelRadius);
            }
            // light on the upper rim of the tread
            QPen rim(QColor(255, 255, 255, 70), 1.2);
            rim.setCapStyle(Qt::RoundCap);
            p.setPen(rim);
            p.setBrush(Qt::NoBrush);
            const qreal r = d.sideWheelRadius - 0.8;
            p.drawArc(QRectF(d.sideWheelCentre.x() - r, d.sideWheelCentre.y() - r, 2 * r, 2 * r), 60 * 16, 90 * 16);
            p.setPen(Qt::NoPen);
            p.restore();
        }

        dropShadow(p, d.sideBody, QPointF(0, 4), 8, 170, kPicture);

        // the side panel, darker and turned away from the light
        QLinearGradient body(bounds.topLeft(), bounds.bottomLeft());
        body.setColorAt(0.0, QColor(0x2c, 0x2f, 0x36));
        body.setColorAt(0.5, QColor(0x1c, 0x1e, 0x23));
        body.setColorAt(1.0, QColor(0x0d, 0x0e, 0x11));
        p.fillPath(d.sideBody, body);

        // the top shell catches the light
        const QRectF sb = d.sideShell.boundingRect();
        QLinearGradient top(sb.topLeft(), sb.bottomLeft());
        top.setColorAt(0.0, QColor(0x4a, 0x4f, 0x58));
        top.setColorAt(1.0, QColor(0x2a, 0x2d, 0x34));
        p.fillPath(d.sideShell, top);
        QRadialGradient sheen(QPointF(bounds.left() + bounds.width() * 0.6, bounds.top() + 10), bounds.width() * 0.45);
        sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
        sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.fillPath(d.sideShell, sheen);

        // textured thumb rest: fine staggered dots, no frame
        p.save();
        p.setClipPath(d.sideGrip);
        const QRectF gb = d.sideGrip.boundingRect();
        int row = 0;
        for (qreal y = gb.top() + 1; y < gb.bottom(); y += 3.0, ++row)
            for (qreal x = gb.left() + (row % 2 ? 1.5 : 0); x < gb.right(); x += 3.0) {
                p.fillRect(QRectF(x, y, 1, 1), QColor(0, 0, 0, 120));
                p.fillRect(QRectF(x, y + 1, 1, 1), QColor(255, 255, 255, 12));
            }
        p.restore();
        seam(p, d.sideSeam);

        // side keys and DPI keys, raised and glossy
        for (const MouseButtonArt &b : d.buttons) {
            if (b.side.isEmpty() || &b == wheel)
                continue;
            dropShadow(p, b.side, QPointF(0, 1.5), 3, 200, kPicture);
            const QRectF bb = b.side.boundingRect();
            QLinearGradient g(bb.topLeft(), bb.bottomLeft());
            g.setColorAt(0.0, QColor(0x6a, 0x70, 0x7b));
            g.setColorAt(0.5, QColor(0x3a, 0x3e, 0x46));
            g.setColorAt(1.0, QColor(0x22, 0x25, 0x2a));
            p.fillPath(b.side, g);
            bevel(p, b.side, 70, 90, 1.0);
        }

        // rim light along the top, a dark line along the base
        p.fillPath(d.sideBody.subtracted(d.sideBody.translated(0, 1.8)), QColor(255, 255, 255, 70));
        accentStrip(p, d.sideLight);
        p.fillRect(QRectF(bounds.left() + 16, d.sideBaseY - 2, bounds.width() - 40, 2), QColor(0, 0, 0, 200));
        p.end();
    }

    // A faint reflection on the desk under the resting line.
    const int base = int(std::ceil(d.sideBaseY));
    const int depth = std::min(34, kMouseArea - base);
    if (depth > 0) {
        QImage mirror = img.copy(0, base - depth, img.width(), depth).mirrored(false, true);
        QPainter mp(&mirror);
        mp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(0, 0, 0, depth);
        fade.setColorAt(0.0, QColor(0, 0, 0, 70));
        fade.setColorAt(1.0, QColor(0, 0, 0, 0));
        mp.fillRect(mirror.rect(), fade);
        mp.end();
        QPainter p(&img);
        p.drawImage(0, base, mirror);
    }
    clearBelowMouseArea(img);
    return img;
}

QByteArray layoutIni(const MouseDesign &d)
{
    QString text;
    QTextStream out(&text);
    out << "; Button markers of " << d.name << ": marker centres in picture coordinates\n";
    out << "; (the pictures are " << kMousePictureWidth << " x " << kMousePictureHeight << ").\n";
    out << "[Front]\n";
    for (const MouseButtonArt &b : d.buttons)
        if (!b.top.isEmpty())
            out << "Button" << b.number << '=' << point(b.topMarker) << '\n';
    out << "\n[Side]\n";
    for (const MouseButtonArt &b : d.buttons)
        if (!b.side.isEmpty())
            out << "Button" << b.number << '=' << point(b.sideMarker) << '\n';
    out << "\n[Extra]\n";
    out << "Up=" << point(d.wheelUpMarker) << '\n';
    out << "Down=" << point(d.wheelDownMarker) << '\n';
    out.flush();
    return text.toUtf8();
}

} // namespace skingen
