#include "lighting.h"

#include "device/effects.h"
#include "profile/profileset.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVector>
#include <QtGlobal>
#include <cmath>

namespace lighting {

namespace {

// The effects in menu order, from the effect table.
const QVector<int> &menuOrder()
{
    static const QVector<int> order = [] {
        QVector<int> effects(EFFECT_COUNT, -1);
        int offered = 0;
        for (const LightingEffect &e : lightingEffects()) {
            if (e.menuPosition >= 0) {
                effects[e.menuPosition] = e.ledMode;
                ++offered;
            }
        }
        effects.resize(offered);
        return effects;
    }();
    return order;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The digits of a typed colour without its "#", or an empty string when a
// character is not a hexadecimal digit.
QString digitsOf(const QString &text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1Char('#')))
        digits.remove(0, 1);
    for (QChar c : digits) {
        if (hexDigit(c) < 0)
            return QString();
    }
    return digits;
}

QColor fromSix(const QString &six)
{
    int v[6];
    for (int i = 0; i < 6; ++i)
        v[i] = hexDigit(six.at(i));
    return QColor(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
}

} // namespace

const char *effectText(int effect)
{
    const LightingEffect *e = findLightingEffect(effect);
    return e ? e->text : "";
}

bool hasBrightness(int effect)
{
    const LightingEffect *e = findLightingEffect(effect);
    return e && e->brightness;
}

bool hasSpeed(int effect)
{
    const LightingEffect *e = findLightingEffect(effect);
    return e && e->speed;
}

bool hasColour(int effect)
{
    const LightingEffect *e = findLightingEffect(effect);
    return e && e->colour;
}

bool speedInUpperRow(int effect)
{
    const LightingEffect *e = findLightingEffect(effect);
    return e && e->speedInUpperRow;
}

const int *menuEffects(int *count)
{
    *count = menuOrder().size();
    return menuOrder().constData();
}

int editedSlot(const QString &product, int activeSlot)
{
    return lightingSlotOf(product, activeSlot);
}

QString hexText(const QColor &colour)
{
    return QStringLiteral("%1%2%3")
        .arg(colour.red(), 2, 16, QLatin1Char('0'))
        .arg(colour.green(), 2, 16, QLatin1Char('0'))
        .arg(colour.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

bool parseCompleteHex(const QString &text, QColor *colour)
{
    const QString digits = digitsOf(text);
    if (digits.size() == 3) {
        QString six;
        for (QChar c : digits)
            six += QString(2, c);
        *colour = fromSix(six);
        return true;
    }
    if (digits.size() == 6) {
        *colour = fromSix(digits);
        return true;
    }
    return false;
}

bool parseHex(const QString &text, QColor *colour)
{
    if (parseCompleteHex(text, colour))
        return true;
    const QString digits = digitsOf(text);
    if (digits.isEmpty() || digits.size() > 6)
        return false;
    *colour = fromSix(digits.rightJustified(6, QLatin1Char('0')));
    return true;
}

int levelForOffset(int offset, int side)
{
    if (side <= 0)
        return 0;
    const int clamped = qBound(0, offset, side);
    return int(std::lround(double(clamped) * 255.0 / side));
}

int offsetForLevel(int level, int side)
{
    if (side <= 0)
        return 0;
    return int(std::lround(double(qBound(0, level, 255)) * side / 255.0));
}

double hueFraction(int y, int margin, int height)
{
    if (height <= 0)
        return 0.0;
    return qBound(0.0, 1.0 - double(y - margin) / height, 1.0);
}

int hueForFraction(double fraction)
{
    return int(qBound(0.0, fraction, 1.0) * 360);
}

int normalisedHue(int hue)
{
    if (hue < 0)
        return 0;
    return hue % 360;
}

QImage composePreview(const QImage &base, const QImage &zone, const Preview &preview)
{
    QImage out = base.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (zone.isNull() || base.isNull() || preview.effect == EFFECT_OFF || !findLightingEffect(preview.effect))
        return out;

    // The light: the colour, or the spectrum across the zone, kept where the
    // zone shines. A zone of the picture's size is the light's shape itself
    // (the colour drawn into it), one pass instead of three.
    const bool sameSize = zone.size() == out.size();
    QImage light;
    if (sameSize) {
        light = zone.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        light = QImage(out.size(), QImage::Format_ARGB32_Premultiplied);
        light.fill(Qt::transparent);
    }
    {
        QPainter p(&light);
        if (sameSize)
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        if (hasColour(preview.effect)) {
            QColor c = preview.colour.isValid() ? preview.colour.toRgb() : QColor(0, 0, 0);
            c.setAlpha(255);
            p.fillRect(light.rect(), c);
        } else {
            QLinearGradient g(0, 0, light.width(), 0);
            for (int i = 0; i <= 6; ++i)
                g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
            p.fillRect(light.rect(), g);
        }
        if (!sameSize) {
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(light.rect(), zone);
        }
    }
    QPainter p(&out);
    if (hasBrightness(preview.effect)) {
        static const double levels[4] = {1.0, 0.45, 0.72, 1.0};
        p.setOpacity(levels[qBound(0, preview.bright, 3)]);
    }
    p.drawImage(out.rect(), light);
    return out;
}

} // namespace lighting
