// Shared drawing helpers: canvases, shapes, bevels, glows and shadows, glyphs.
// Every picture family is built from these so light, edges and depth agree.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace skingen {

// The looks of a skinned button, in the order the program loads them.
enum class Look { Normal, Hover, Pressed, Disabled };

// A transparent premultiplied canvas.
QImage canvas(int width, int height);

// A painter with antialiasing and smooth scaling switched on.
void prepare(QPainter &p);

QPainterPath roundedRect(const QRectF &r, qreal radius);
// A rectangle with its four corners cut at 45 degrees (top-left, top-right,
// bottom-right, bottom-left).
QPainterPath chamferRect(const QRectF &r, qreal tl, qreal tr, qreal br, qreal bl);

// Fills a shape with a vertical gradient between two colours.
void fillVertical(QPainter &p, const QPainterPath &shape, const QColor &top, const QColor &bottom);

// Light from above: a thin bright crescent along the top edges of a shape and a
// dark one along its bottom edges, both kept inside the shape.
void bevel(QPainter &p, const QPainterPath &shape, int lightAlpha, int darkAlpha, qreal depth = 1.0);
// The inverse, for recessed wells: shadow along the top, light along the bottom.
void inset(QPainter &p, const QPainterPath &shape, int shadowAlpha, int lightAlpha, qreal depth = 1.5);

// A shape framed by a crisp one-pixel border: the border colour fills the shape,
// the face fills the shape shrunk by one pixel.
void framed(QPainter &p, const QRectF &r, qreal radius, const QColor &border, const QColor &faceTop,
            const QColor &faceBottom);

// Box blur (three passes, close to a gaussian) of a premultiplied image.
QImage blurred(const QImage &src, int radius);
// A soft halo of a shape: the shape filled with the colour, blurred, drawn
// under whatever is painted next. The canvas size bounds the halo.
void glow(QPainter &p, const QPainterPath &shape, const QColor &color, int radius, const QSize &canvasSize);
// A soft shadow of a shape, offset downwards.
void dropShadow(QPainter &p, const QPainterPath &shape, const QPointF &offset, int radius, int alpha,
                const QSize &canvasSize);

// Interface fonts (DejaVu Sans is installed on every machine that builds us).
QFont uiFont(int pixelSize, bool bold, qreal letterSpacingPercent = 100.0);

// Glyphs, drawn with round caps centred on the given point.
void chevronDown(QPainter &p, const QPointF &centre, qreal halfWidth, const QColor &color, qreal penWidth);
void chevronUp(QPainter &p, const QPointF &centre, qreal halfWidth, const QColor &color, qreal penWidth);
void checkMark(QPainter &p, const QRectF &box, const QColor &color, qreal penWidth);
void crossMark(QPainter &p, const QRectF &box, const QColor &color, qreal penWidth);

// A faint regular dot grid inside a shape, for large panels.
void dotGrid(QPainter &p, const QPainterPath &shape, int pitch, const QColor &color);
// Deterministic fine grain inside a shape (a brushed, non-flat surface).
void grain(QPainter &p, const QPainterPath &shape, int alpha, quint32 seed);

} // namespace skingen
