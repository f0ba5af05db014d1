// The program's icons for the desktop: the launcher, the software centre and
// the tray look them up by name in the hicolor theme, one PNG per size.
#include "art.h"
#include "theme.h"

#include <cmath>

namespace skingen {

namespace {

// Panel and tray sizes: a bold mouse on a tile, every edge on a whole pixel,
// so it stays readable where the detailed emblem would blur.
QImage panelIcon(int side)
{
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    const int margin = side >= 22 ? 1 : 0;
    const QRectF tile(margin, margin, side - 2 * margin, side - 2 * margin);
    const qreal radius = std::max<qreal>(2.0, side * 0.18);
    p.fillPath(roundedRect(tile, radius), theme::accentDark());
    fillVertical(p, roundedRect(tile.adjusted(1, 1, -1, -1), radius - 1), QColor(0x2e, 0x32, 0x3b),
                 QColor(0x12, 0x14, 0x18));
    // The mouse: a rounded body, its two buttons split by the wheel line.
    const qreal bodyW = std::round(side * 0.46);
    const qreal bodyH = std::round(side * 0.70);
    const QRectF body(std::round((side - bodyW) / 2), std::round((side - bodyH) / 2), bodyW, bodyH);
    p.fillPath(roundedRect(body, bodyW / 2), theme::accent());
    const QColor cut(0x12, 0x14, 0x18);
    const qreal line = side >= 32 ? 2 : 1;
    const qreal split = std::round(body.top() + bodyH * 0.42);
    p.fillRect(QRectF(std::round(side / 2.0 - line / 2), body.top(), line, split - body.top()), cut);
    p.fillRect(QRectF(body.left(), split, bodyW, line), cut);
    if (side >= 22) {
        // The wheel, lit.
        const qreal wheelH = std::round(bodyH * 0.18);
        const QRectF wheel(std::round(side / 2.0 - line / 2 - 1), std::round(body.top() + bodyH * 0.12), line + 2,
                           wheelH);
        p.fillPath(roundedRect(wheel, 1), theme::accentLight());
    }
    return img;
}

} // namespace

const QVector<int> &desktopIconSizes()
{
    // hicolor's usual sizes; 22 and 24 are the tray's.
    static const QVector<int> sizes = {16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

QImage desktopIcon(int side)
{
    // From 32 pixels on the emblem of the window icon has room to show.
    return side < 32 ? panelIcon(side) : appIcon(side);
}

void addAppIconFamily(Pictures &list)
{
    for (int side : desktopIconSizes())
        list.push_back({QStringLiteral("appicons/%1x%1/mousecfg.png").arg(side), desktopIcon(side)});
}

} // namespace skingen
