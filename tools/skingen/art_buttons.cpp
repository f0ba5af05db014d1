// Buttons: the stretchable text button, window controls, selectors, the
// profile column's buttons and the square tool buttons.
#include "art.h"
#include "glyphs.h"
#include "theme.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

namespace {

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// The common face of every raised button, in one of its looks. The text or
// glyph goes on top; the face alone tells the looks apart.
void buttonFace(QPainter &p, const QRectF &r, qreal radius, Look look, const QSize &size)
{
    const QPainterPath outer = roundedRect(r, radius);
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), std::max<qreal>(0, radius - 1));
    switch (look) {
    case Look::Normal:
    case Look::Disabled: {
        const bool off = look == Look::Disabled;
        p.fillPath(outer, QColor(0x0a, 0x0b, 0x0e));
        fillVertical(p, face, off ? QColor(0x20, 0x22, 0x27) : QColor(0x2c, 0x30, 0x39),
                     off ? QColor(0x1a, 0x1c, 0x20) : QColor(0x1f, 0x22, 0x29));
        bevel(p, face, off ? 10 : 26, 60);
        break;
    }
    case Look::Hover: {
        p.fillPath(outer, mix(QColor(0x0a, 0x0b, 0x0e), theme::accent(), 0.38));
        fillVertical(p, face, QColor(0x3a, 0x3f, 0x4b), QColor(0x29, 0x2d, 0x36));
        bevel(p, face, 40, 60);
        // warm light rising from the lower edge
        QLinearGradient warm(r.left(), r.bottom(), r.left(), r.top());
        warm.setColorAt(0.0, theme::withAlpha(theme::accent(), 60));
        warm.setColorAt(0.5, theme::withAlpha(theme::accent(), 0));
        p.fillPath(face, warm);
        break;
    }
    case Look::Pressed: {
        p.fillPath(outer, theme::accent());
        fillVertical(p, face, QColor(0x16, 0x18, 0x1d), QColor(0x21, 0x24, 0x2b));
        inset(p, face, 130, 0, 2.0);
        QRadialGradient ember(QPointF(r.center().x(), r.bottom()), std::max(r.width(), r.height()) * 0.7);
        ember.setColorAt(0.0, theme::withAlpha(theme::accent(), 95));
        ember.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
        p.fillPath(face, ember);
        // the selection bar along the bottom edge
        const qreal barH = std::max<qreal>(2.0, std::round(r.height() * 0.1));
        const QRectF bar(r.left() + 1, r.bottom() - 1 - barH, r.width() - 2, barH);
        p.save();
        p.setClipPath(face);
        glow(p, roundedRect(bar, 0), theme::withAlpha(theme::accent(), 200), 6, size);
        p.fillRect(bar, theme::accent());
        p.fillRect(QRectF(bar.left(), bar.top(), bar.width(), 1), theme::accentLight());
        p.restore();
        break;
    }
    }
}

} // namespace

QImage tabButton(Look look)
{
    QImage img = canvas(96, 28);
    QPainter p(&img);
    prepare(p);
    buttonFace(p, QRectF(0, 0, 96, 28), 4, look, img.size());
    return img;
}

QImage windowButton(WindowGlyph glyph, Look look)
{
    QImage img = canvas(19, 19);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, 19, 19);
    const bool close = glyph == WindowGlyph::Close;
    QColor ink = theme::glyph();
    if (close && look != Look::Normal) {
        // Close turns to the accent: lit on hover, deeper when pressed.
        p.fillPath(roundedRect(r, 4), look == Look::Pressed ? QColor(0x6e, 0x31, 0x00) : theme::accentDark());
        const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 3);
        if (look == Look::Hover) {
            fillVertical(p, face, theme::accentLight(), theme::accent());
            bevel(p, face, 70, 40);
        } else {
            fillVertical(p, face, QColor(0xb8, 0x52, 0x00), QColor(0xd9, 0x66, 0x00));
            inset(p, face, 110, 0, 1.5);
        }
        ink = Qt::white;
    } else {
        buttonFace(p, r, 4, look == Look::Pressed ? Look::Pressed : look, img.size());
        if (look == Look::Hover)
            ink = Qt::white;
        if (look == Look::Pressed)
            ink = theme::accentLight();
    }
    if (close)
        drawGlyph(p, Glyph::Cross, QRectF(6, 6, 7, 7), ink, 1.6);
    else
        drawGlyph(p, Glyph::Minus, QRectF(5.5, 11, 8, 0), ink, 2.0);
    return img;
}

QImage languageButton()
{
    QImage img = canvas(110, 20);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, 110, 20);
    buttonFace(p, r, 4, Look::Normal, img.size());
    drawGlyph(p, Glyph::Globe, QRectF(5, 4, 12, 12), theme::accent(), 1.2);
    p.fillRect(QRectF(22, 4, 1, 12), QColor(0, 0, 0, 120));
    p.fillRect(QRectF(23, 4, 1, 12), QColor(255, 255, 255, 18));
    chevronDown(p, QPointF(101, 10.5), 3.0, theme::glyph(), 1.4);
    return img;
}

QImage selectButton(int width, int height)
{
    QImage img = canvas(width, height);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, width, height);
    // A recessed field with an arrow compartment at its right end.
    p.fillPath(roundedRect(r, 4), QColor(0x07, 0x08, 0x0a));
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 3);
    fillVertical(p, face, QColor(0x10, 0x12, 0x16), QColor(0x17, 0x1a, 0x1f));
    inset(p, face, 110, 16, 2.0);
    const qreal zone = std::round(height * 0.85);
    const qreal sx = width - 1 - zone;
    p.fillRect(QRectF(sx, 4, 1, height - 8), QColor(0, 0, 0, 170));
    p.fillRect(QRectF(sx + 1, 4, 1, height - 8), QColor(255, 255, 255, 16));
    QPainterPath arrowZone = roundedRect(QRectF(sx + 2, 1, zone - 1, height - 2), 3);
    fillVertical(p, arrowZone, QColor(0x1e, 0x21, 0x28), QColor(0x17, 0x19, 0x1e));
    chevronDown(p, QPointF(sx + 1 + zone / 2, height / 2.0 + 0.5), std::max<qreal>(3.0, height * 0.14),
                theme::accent(), 1.8);
    // a thin accent tick at the left end marks it as a chooser
    p.fillRect(QRectF(1, 5, 2, height - 10), theme::withAlpha(theme::accent(), 170));
    return img;
}

QImage profileSlotButton(bool selected)
{
    const int w = 152, h = 30;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF r(0, 0, w, h);
    const QPainterPath face = roundedRect(r.adjusted(1, 1, -1, -1), 3);
    if (!selected) {
        p.fillPath(roundedRect(r, 4), QColor(0x0a, 0x0b, 0x0e));
        fillVertical(p, face, QColor(0x24, 0x27, 0x2e), QColor(0x1c, 0x1f, 0x24));
        bevel(p, face, 20, 50);
        p.fillPath(roundedRect(QRectF(5, 9, 3, h - 18), 1.5), QColor(0x3c, 0x41, 0x4c));
    } else {
        p.fillPath(roundedRect(r, 4), theme::accentDark());
        fillVertical(p, face, QColor(0x2c, 0x2a, 0x29), QColor(0x22, 0x21, 0x22));
        QLinearGradient warm(r.left(), 0, r.right(), 0);
        warm.setColorAt(0.0, theme::withAlpha(theme::accent(), 110));
        warm.setColorAt(0.55, theme::withAlpha(theme::accent(), 18));
        warm.setColorAt(1.0, theme::withAlpha(theme::accent(), 0));
        p.fillPath(face, warm);
        bevel(p, face, 34, 50);
        const QPainterPath bar = roundedRect(QRectF(4, 6, 4, h - 12), 2);
        glow(p, bar, theme::accent(), 6, img.size());
        p.fillPath(bar, theme::accentLight());
    }
    return img;
}

QImage actionButton(ActionGlyph glyph, Look look)
{
    // The label is drawn over the centre, so the face stays clear; the kind of
    // action shows in a small mark on the left edge (destructive ones in the
    // accent colour).
    QImage img = canvas(74, 26);
    QPainter p(&img);
    prepare(p);
    buttonFace(p, QRectF(0, 0, 74, 26), 4, look, img.size());
    const bool destructive = glyph == ActionGlyph::Reset || glyph == ActionGlyph::Delete;
    QColor mark = destructive ? theme::accent() : QColor(0x6a, 0x70, 0x7b);
    if (look != Look::Normal)
        mark = destructive ? theme::accentLight() : theme::text();
    p.fillPath(roundedRect(QRectF(4, 8, 2, 10), 1), mark);
    return img;
}

QImage toolButton(ToolGlyph glyph, Look look, int side)
{
    QImage img = canvas(side, side);
    QPainter p(&img);
    prepare(p);
    buttonFace(p, QRectF(0, 0, side, side), 5, look, img.size());
    QColor ink = theme::glyph();
    if (look == Look::Hover)
        ink = Qt::white;
    else if (look == Look::Pressed)
        ink = theme::accentLight();
    else if (look == Look::Disabled)
        ink = QColor(0x50, 0x55, 0x5e);
    const qreal m = side * 0.30;
    const QRectF box(m, m, side - 2 * m, side - 2 * m);
    const qreal pen = std::max<qreal>(1.4, side / 16.0);
    switch (glyph) {
    case ToolGlyph::List:
        drawGlyph(p, Glyph::List, box.adjusted(0, 1, 0, -1), ink, pen);
        break;
    case ToolGlyph::Import:
        drawGlyph(p, Glyph::TrayIn, box, ink, pen);
        break;
    case ToolGlyph::Export:
        drawGlyph(p, Glyph::TrayOut, box, ink, pen);
        break;
    case ToolGlyph::MoveTop:
        drawGlyph(p, Glyph::ToTop, box, ink, pen);
        break;
    case ToolGlyph::NewMacro:
        drawGlyph(p, Glyph::Plus, box, ink, pen + 0.4);
        break;
    case ToolGlyph::DeleteMacro:
        drawGlyph(p, Glyph::Trash, box, ink, pen);
        break;
    }
    return img;
}

} // namespace skingen
