// The product-family emblem: a mouse glyph inside a hexagonal badge. Used by
// the window's brand area, the left column hub and the program icon.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QSize>

namespace skingen {

// The hexagonal badge with the mouse glyph, fitted into the box.
void drawEmblem(QPainter &p, const QRectF &box, const QSize &canvasSize);
// The mouse glyph alone, fitted into the box, in the accent colour.
void drawEmblemMark(QPainter &p, const QRectF &box, const QSize &canvasSize, qreal penWidth = 2.0);
// A pointy-top hexagon fitted into the box.
QPainterPath hexagonIn(const QRectF &box);

} // namespace skingen
