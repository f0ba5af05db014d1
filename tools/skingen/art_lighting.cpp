// The LIGHTING page's pictures: the effect selector, the colour dialog's
// background, and for each mouse the top view with its light switched off
// and the shape of its light zone, which the program tints with the chosen
// colour to preview the lighting on the picture.
#include "art.h"
#include "mouseart.h"

#include <QtMath>

namespace skingen {

QImage unlitTopView(const MouseDesign &design)
{
    // The lit picture with its colour taken out: the graphite shell is grey
    // already, the accent light turns into a dim, unlit diffuser.
    QImage img = renderTopView(design).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            const int a = qAlpha(px);
            if (a == 0)
                continue;
            const int r = qRed(px), g = qGreen(px), b = qBlue(px);
            const int hi = qMax(r, qMax(g, b));
            const int lo = qMin(r, qMin(g, b));
            const double saturation = hi > 0 ? double(hi - lo) / hi : 0.0;
            const double luminance = 0.30 * r + 0.59 * g + 0.11 * b;
            const int grey = qBound(0, int(luminance * (1.0 - 0.6 * saturation)), 255);
            line[x] = qRgba(grey, grey, qMin(255, grey + 3), a);
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage lightZone(const MouseDesign &design)
{
    const QSize size(kMousePictureWidth, kMousePictureHeight);
    QImage img = canvas(size.width(), size.height());
    QPainter p(&img);
    prepare(p);
    // The strip, its halo on the shell, and the light leaking around the wheel.
    glow(p, design.topLight, QColor(255, 255, 255, 230), 10, size);
    p.fillPath(design.topLight, Qt::white);
    if (!design.topWheel.isEmpty()) {
        QPainterPath well;
        const qreal radius = qMin(design.topWheelWell.width(), design.topWheelWell.height()) / 2;
        well.addRoundedRect(design.topWheelWell, radius, radius);
        QPainterPath tread;
        const QRectF t = design.topWheel.adjusted(-1, 0, 1, 0);
        tread.addRoundedRect(t, qMin(t.width(), t.height()) / 2, qMin(t.width(), t.height()) / 2);
        QImage leak = canvas(size.width(), size.height());
        {
            QPainter lp(&leak);
            prepare(lp);
            lp.setClipPath(well);
            glow(lp, tread, QColor(255, 255, 255, 170), 6, size);
            // The tread itself stays dark rubber.
            lp.setClipping(false);
            lp.setCompositionMode(QPainter::CompositionMode_DestinationOut);
            lp.fillPath(tread, Qt::black);
        }
        p.drawImage(0, 0, leak);
    }
    return img;
}

void addLightingPictures(Pictures &list)
{
    list.push_back({QStringLiteral("lighting_effect.png"), selectButton(172, 30)});
    list.push_back({QStringLiteral("colordlg.png"), dialogBackground(440, 336)});
    for (const MouseDesign &d : mouseDesigns()) {
        const QString dir = QStringLiteral("mouse/%1/").arg(d.name);
        list.push_back({dir + QStringLiteral("Mouse_Led.png"), unlitTopView(d)});
        list.push_back({dir + QStringLiteral("Mouse_LedZone.png"), lightZone(d)});
    }
}

} // namespace skingen
