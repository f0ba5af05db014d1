// The one dark graphite theme every skin picture is drawn in.
#pragma once

#include <QColor>

namespace skingen {
namespace theme {

// Surfaces, from the deepest to the most raised.
inline QColor outer() { return QColor(0x12, 0x14, 0x19); }
inline QColor well() { return QColor(0x0e, 0x10, 0x14); }
inline QColor panel() { return QColor(0x1a, 0x1d, 0x23); }
inline QColor raised() { return QColor(0x23, 0x27, 0x2f); }
inline QColor raisedHi() { return QColor(0x2e, 0x33, 0x3d); }

// Edges: the dark line around an element and the light line on its lit side.
inline QColor edgeDark() { return QColor(0x08, 0x09, 0x0c); }
inline QColor edgeMid() { return QColor(0x2b, 0x30, 0x39); }
inline QColor edgeLight() { return QColor(0x3c, 0x42, 0x4e); }

inline QColor text() { return QColor(0xc8, 0xc8, 0xc8); }
inline QColor textDim() { return QColor(0x80, 0x86, 0x91); }
inline QColor glyph() { return QColor(0xa4, 0xaa, 0xb4); }

// The shipped theme colour (entry 6 of the theme table).
inline QColor accent() { return QColor(255, 125, 0); }
inline QColor accentLight() { return QColor(255, 166, 72); }
inline QColor accentDark() { return QColor(176, 78, 0); }

inline QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

} // namespace theme
} // namespace skingen
