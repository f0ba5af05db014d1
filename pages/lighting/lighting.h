#pragma once
// The lighting effects the mouse offers and the conversions the lighting page
// and its colour picker share: which controls an effect has, which slot the
// page edits, the hexadecimal colour text, the saturation/value square and
// the hue strip, and the preview of the mouse's light zone.

#include <QColor>
#include <QImage>
#include <QString>

namespace lighting {

enum { EFFECT_OFF = 0, EFFECT_FULL = 1, EFFECT_BREATHING = 2, EFFECT_7COLOR = 3, LAST_EFFECT = 13 };

// The effect's English text (translated in the context "ZelColorWindow");
// empty for an index outside 0..13.
const char *effectText(int effect);
bool hasBrightness(int effect);
bool hasSpeed(int effect);
bool hasColour(int effect);
// Effects with speed but no brightness show their speed in the upper row.
bool speedInUpperRow(int effect);
// The effects the menu offers, in menu order; 5 to 8 are never offered.
const int *menuEffects(int *count);

// The slot whose lighting the page edits: always slot 0 for the product
// "6132" (one lighting setting for all profiles), the active slot otherwise.
int editedSlot(const QString &product, int activeSlot);

// "RRGGBB", two upper-case hexadecimal digits per component.
QString hexText(const QColor &colour);
// Reads a colour typed by the user. An optional leading "#" is ignored.
// Three digits mean one per component, each doubled ("f80" -> ff8800); six
// digits two per component; one, two, four or five digits are padded with
// zeros on the left to six ("ff" -> 0000ff). Anything else (empty, more than
// six digits, a character that is not a hexadecimal digit) is refused: false,
// and the colour is left as it is.
bool parseHex(const QString &text, QColor *colour);
// The same, but only the complete forms (three or six digits): what is taken
// over while the user is still typing.
bool parseCompleteHex(const QString &text, QColor *colour);

// The saturation/value square: saturation grows to the right and value
// upwards, both 0..255 across a square of `side` pixels. A pixel offset from
// the left (or from the bottom) maps to round(offset * 255 / side), and a
// level back to round(level * side / 255), so a level survives the round
// trip level -> marker -> level within one step.
int levelForOffset(int offset, int side);
int offsetForLevel(int level, int side);

// The hue strip: the fraction 0.0 (bottom) .. 1.0 (top) for a height y in a
// strip that starts `margin` pixels below the top and is `height` tall,
// clamped; the hue is int(fraction * 360), so the very top gives 360, which
// the dialog takes as 0.
double hueFraction(int y, int margin, int height);
int hueForFraction(double fraction);
// A hue of 360 or more wraps around; negative hues become 0.
int normalisedHue(int hue);

// What the mouse picture shows of the chosen lighting.
struct Preview {
    int effect = 0;
    QColor colour;   // used by effects with a colour
    int bright = 3;  // 1..3 for effects with brightness; others shine fully
};
// The light zone tinted for the effect, drawn over the unlit picture:
// nothing for OFF, the colour for effects that have one, the spectrum for
// the colour-cycling effects. A missing zone leaves the base unchanged.
QImage composePreview(const QImage &base, const QImage &zone, const Preview &preview);

} // namespace lighting
