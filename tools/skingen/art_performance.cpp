// Pictures of the DPI tab: the groove of the DPI sliders and the report-rate
// chooser.
#include "art.h"
#include "theme.h"

namespace skingen {

QImage dpiGroove()
{
    const int w = 240, h = 6;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QPainterPath well = roundedRect(QRectF(0, 0, w, h), 3);
    fillVertical(p, well, QColor(0x06, 0x07, 0x09), QColor(0x16, 0x18, 0x1d));
    inset(p, well, 140, 18, 1.2);
    // Faint ticks at every tenth of the range help to aim.
    for (int i = 1; i < 10; ++i)
        p.fillRect(QRectF(w * i / 10.0, 1.5, 1, h - 3), QColor(255, 255, 255, 28));
    return img;
}

QImage rateChooser()
{
    return selectButton(152, 28);
}

void addPerformanceFamily(Pictures &list)
{
    list.push_back({QStringLiteral("dpi_groove.png"), dpiGroove()});
    list.push_back({QStringLiteral("ratesel.png"), rateChooser()});
}

} // namespace skingen
