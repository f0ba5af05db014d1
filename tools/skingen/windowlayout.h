// Where the main window places its controls, in design units (999 x 640). The
// background is drawn around these places and the preview composes the
// pictures on them.
#pragma once

#include <QRect>

namespace skingen {
namespace layout {

constexpr int kWidth = 999;
constexpr int kHeight = 640;

inline QRect brand() { return {40, 20, 200, 44}; }
inline QRect tab(int i) { return {285 + 93 * i, 38, 90, 28}; }
inline QRect modelSelector() { return {670, 33, 100, 20}; }
inline QRect language() { return {780, 33, 110, 20}; }
inline QRect minimise() { return {903, 33, 19, 19}; }
inline QRect close() { return {924, 33, 19, 19}; }

inline QRect leftColumn() { return {50, 74, 200, 556}; }
inline QRect version() { return {70, 180, 152, 20}; }
inline QRect profileSlot() { return {68, 213, 150, 29}; }
inline QRect profileButton(int i) { return {70, 250 + 34 * i, 152, 30}; }
inline QRect nameLabel() { return {70, 428, 40, 24}; }
inline QRect nameField() { return {112, 428, 84, 24}; }
inline QRect profileFile() { return {200, 426, 28, 28}; }
inline QRect profileImport() { return {70, 462, 28, 28}; }
inline QRect profileExport() { return {104, 462, 28, 28}; }
inline QRect reset() { return {70, 496, 74, 26}; }
inline QRect add() { return {148, 496, 74, 26}; }
inline QRect remove() { return {70, 526, 74, 26}; }
inline QRect copy() { return {148, 526, 74, 26}; }
inline QRect battery() { return {69, 581, 86, 47}; }
inline QRect batteryBar() { return {75, 592, 66, 25}; }
inline QRect connection() { return {162, 590, 28, 28}; }

inline QRect pageArea() { return {285, 74, 665, 467}; }
inline QRect mousePicture() { return {467, 74, 300, 400}; }
inline QRect frontButton() { return {295, 84, 60, 22}; }
inline QRect sideButton() { return {360, 84, 60, 22}; }
inline QRect buttonPage() { return {285, 342, 664, 199}; }

// Bottom bar: Reset All, LOAD1, SAVE, Firmware Update, then OK, Cancel, Apply.
inline QRect bottomButton(int i)
{
    static const int x[7] = {285, 387, 489, 591, 710, 792, 874};
    static const int w[7] = {96, 96, 96, 110, 76, 76, 76};
    return {x[i], 560, w[i], 28};
}

} // namespace layout
} // namespace skingen
