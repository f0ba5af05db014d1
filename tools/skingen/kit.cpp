#include "kit.h"

#include <QLinearGradient>
#include <QtMath>

#include <algorithm>
#include <vector>
#include <cmath>

namespace skingen {

QImage canvas(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(Qt::NoPen);
}

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    if (radius <= 0.0)
        path.addRect(r);
    else
        path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath chamferRect(const QRectF &r, qreal tl, qreal tr, qreal br, qreal bl)
{
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    path.lineTo(r.right(), r.top() + tr);
    path.lineTo(r.right(), r.bottom() - br);
    path.lineTo(r.right() - br, r.bottom());
    path.lineTo(r.left() + bl, r.bottom());
    path.lineTo(r.left(), r.bottom() - bl);
    path.lineTo(r.left(), r.top() + tl);
    path.closeSubpath();
    return path;
}

void fillVertical(QPainter &p, const QPainterPath &shape, const QColor &top, const QColor &bottom)
{
    const QRectF b = shape.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.fillPath(shape, g);
}

void bevel(QPainter &p, const QPainterPath &shape, int lightAlpha, int darkAlpha, qreal depth)
{
    if (lightAlpha > 0)
        p.fillPath(shape.subtracted(shape.translated(0, depth)), QColor(255, 255, 255, lightAlpha));
    if (darkAlpha > 0)
        p.fillPath(shape.subtracted(shape.translated(0, -depth)), QColor(0, 0, 0, darkAlpha));
}

void inset(QPainter &p, const QPainterPath &shape, int shadowAlpha, int lightAlpha, qreal depth)
{
    if (shadowAlpha > 0)
        p.fillPath(shape.subtracted(shape.translated(0, depth)), QColor(0, 0, 0, shadowAlpha));
    if (lightAlpha > 0)
        p.fillPath(shape.subtracted(shape.translated(0, -1.0)), QColor(255, 255, 255, lightAlpha));
}

void framed(QPainter &p, const QRectF &r, qreal radius, const QColor &border, const QColor &faceTop,
            const QColor &faceBottom)
{
    p.fillPath(roundedRect(r, radius), border);
    fillVertical(p, roundedRect(r.adjusted(1, 1, -1, -1), std::max<qreal>(0.0, radius - 1.0)), faceTop,
                 faceBottom);
}

namespace {

// One horizontal and one vertical running-sum pass over the four channels.
void boxBlurPass(std::vector<int> &chan, int w, int h, int r)
{
    std::vector<int> tmp(chan.size());
    const int window = 2 * r + 1;
    for (int y = 0; y < h; ++y) {
        int sum = 0;
        for (int x = -r; x <= r; ++x)
            sum += chan[y * w + std::clamp(x, 0, w - 1)];
        for (int x = 0; x < w; ++x) {
            tmp[y * w + x] = sum / window;
            sum += chan[y * w + std::min(x + r + 1, w - 1)] - chan[y * w + std::max(x - r, 0)];
        }
    }
    for (int x = 0; x < w; ++x) {
        int sum = 0;
        for (int y = -r; y <= r; ++y)
            sum += tmp[std::clamp(y, 0, h - 1) * w + x];
        for (int y = 0; y < h; ++y) {
            chan[y * w + x] = sum / window;
            sum += tmp[std::min(y + r + 1, h - 1) * w + x] - tmp[std::max(y - r, 0) * w + x];
        }
    }
}

} // namespace

QImage blurred(const QImage &src, int radius)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0 || img.isNull())
        return img;
    const int w = img.width();
    const int h = img.height();
    std::vector<int> chans[4];
    for (auto &c : chans)
        c.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            chans[0][i] = qAlpha(line[x]);
            chans[1][i] = qRed(line[x]);
            chans[2][i] = qGreen(line[x]);
            chans[3][i] = qBlue(line[x]);
        }
    }
    // Three box passes of a third of the radius each approximate a gaussian.
    const int r = std::max(1, radius / 3);
    for (auto &c : chans)
        for (int pass = 0; pass < 3; ++pass)
            boxBlurPass(c, w, h, r);
    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            const int a = chans[0][i];
            line[x] = qRgba(std::min(chans[1][i], a), std::min(chans[2][i], a), std::min(chans[3][i], a), a);
        }
    }
    return img;
}

void glow(QPainter &p, const QPainterPath &shape, const QColor &color, int radius, const QSize &canvasSize)
{
    QImage layer = canvas(canvasSize.width(), canvasSize.height());
    {
        QPainter lp(&layer);
        prepare(lp);
        lp.setTransform(p.transform());
        lp.fillPath(shape, color);
    }
    const QTransform saved = p.transform();
    p.resetTransform();
    p.drawImage(0, 0, blurred(layer, radius));
    p.setTransform(saved);
}

void dropShadow(QPainter &p, const QPainterPath &shape, const QPointF &offset, int radius, int alpha,
                const QSize &canvasSize)
{
    glow(p, shape.translated(offset), QColor(0, 0, 0, alpha), radius, canvasSize);
}

QFont uiFont(int pixelSize, bool bold, qreal letterSpacingPercent)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacingPercent != 100.0)
        f.setLetterSpacing(QFont::PercentageSpacing, letterSpacingPercent);
    return f;
}

namespace {

QPen roundPen(const QColor &color, qreal width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

void chevronDown(QPainter &p, const QPointF &c, qreal hw, const QColor &color, qreal penWidth)
{
    p.save();
    p.setPen(roundPen(color, penWidth));
    p.setBrush(Qt::NoBrush);
    const QPointF pts[3] = {c + QPointF(-hw, -hw / 2), c + QPointF(0, hw / 2), c + QPointF(hw, -hw / 2)};
    p.drawPolyline(pts, 3);
    p.restore();
}

void chevronUp(QPainter &p, const QPointF &c, qreal hw, const QColor &color, qreal penWidth)
{
    p.save();
    p.setPen(roundPen(color, penWidth));
    p.setBrush(Qt::NoBrush);
    const QPointF pts[3] = {c + QPointF(-hw, hw / 2), c + QPointF(0, -hw / 2), c + QPointF(hw, hw / 2)};
    p.drawPolyline(pts, 3);
    p.restore();
}

void checkMark(QPainter &p, const QRectF &b, const QColor &color, qreal penWidth)
{
    p.save();
    p.setPen(roundPen(color, penWidth));
    p.setBrush(Qt::NoBrush);
    const QPointF pts[3] = {QPointF(b.left() + b.width() * 0.12, b.top() + b.height() * 0.55),
                            QPointF(b.left() + b.width() * 0.40, b.top() + b.height() * 0.82),
                            QPointF(b.left() + b.width() * 0.88, b.top() + b.height() * 0.20)};
    p.drawPolyline(pts, 3);
    p.restore();
}

void crossMark(QPainter &p, const QRectF &b, const QColor &color, qreal penWidth)
{
    p.save();
    p.setPen(roundPen(color, penWidth));
    p.drawLine(b.topLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomLeft());
    p.restore();
}

void dotGrid(QPainter &p, const QPainterPath &shape, int pitch, const QColor &color)
{
    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    const QRect b = shape.boundingRect().toAlignedRect();
    const bool aa = p.testRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = b.top() + pitch / 2; y < b.bottom(); y += pitch)
        for (int x = b.left() + pitch / 2; x < b.right(); x += pitch)
            p.fillRect(QRect(x, y, 1, 1), color);
    p.setRenderHint(QPainter::Antialiasing, aa);
    p.restore();
}

void grain(QPainter &p, const QPainterPath &shape, int alpha, quint32 seed)
{
    const QRect b = shape.boundingRect().toAlignedRect();
    if (b.isEmpty())
        return;
    QImage noise(b.size(), QImage::Format_ARGB32_Premultiplied);
    quint32 state = seed ? seed : 0x9e3779b9u;
    for (int y = 0; y < noise.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) {
            // xorshift32: cheap, deterministic noise.
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int v = int(state & 0xff);
            if (v < 24) {
                const int a = alpha * (24 - v) / 24;
                line[x] = qRgba(a, a, a, a);
            } else if (v > 231) {
                line[x] = qRgba(0, 0, 0, alpha * (v - 231) / 24);
            } else {
                line[x] = 0;
            }
        }
    }
    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    p.drawImage(b.topLeft(), noise);
    p.restore();
}

} // namespace skingen
