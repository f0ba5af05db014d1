// Line glyphs shared by buttons and icons, drawn with round caps into a box.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skingen {

enum class Glyph {
    Minus,      // minimise bar
    Cross,      // close
    Plus,       // add / new
    Reset,      // circular arrow
    Trash,      // delete
    Copy,       // two overlapping sheets
    List,       // bulleted list
    TrayIn,     // arrow down into a tray (import)
    TrayOut,    // arrow up out of a tray (export)
    ToTop,      // arrow up to a bar
    Globe,      // language
};

void drawGlyph(QPainter &p, Glyph glyph, const QRectF &box, const QColor &color, qreal penWidth);

} // namespace skingen
