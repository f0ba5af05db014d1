// The picture families of the skin. Each function draws one picture; the
// generator decides the file names and writes them.
#pragma once

#include "kit.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <utility>
#include <vector>

namespace skingen {

// A picture and its path relative to the skin folder.
struct Picture {
    QString path;
    QImage image;
};
using Pictures = std::vector<Picture>;

// Main window ---------------------------------------------------------------
// The whole window: silhouette, brand, header rails, left column, page area,
// bottom bar (999 x 640).
QImage mainBackground();
// The window silhouette in design units; everything outside is transparent.
QPainterPath windowShape();

// Buttons -------------------------------------------------------------------
// Stretchable text button used for page tabs, the bottom bar and the pages.
QImage tabButton(Look look);
enum class WindowGlyph { Minimise, Close };
QImage windowButton(WindowGlyph glyph, Look look);
QImage languageButton();
// Drop-down field with an arrow at its right end (size given by the caller).
QImage selectButton(int width, int height);
QImage profileSlotButton(bool selected);
enum class ActionGlyph { Reset, Add, Delete, Copy };
QImage actionButton(ActionGlyph glyph, Look look);
enum class ToolGlyph { List, Import, Export, MoveTop, NewMacro, DeleteMacro };
QImage toolButton(ToolGlyph glyph, Look look, int side = 28);

// Controls ------------------------------------------------------------------
QImage checkBox(bool checked, int side = 16);
QImage radioIndicator(bool checked, int side = 16);
// Option row for the macro loop modes: round indicator at the left end.
QImage optionButton(bool on);
QImage speedGroove();                 // pspeed.png, sniper slider groove
QImage sliderGroove();                // a generic horizontal groove
QImage sliderHandle(bool hover);
// Button markers on the mouse picture.
QImage marker(bool selected);
// Wheel markers. Style 0 is the plain triangle pair (btn_up1/2, btn_down1/2),
// style 1 the ringed chevron pair (btn_up3/4, btn_down3/4).
QImage wheelMarker(bool up, int style, bool highlighted);

// Status and message icons --------------------------------------------------
QImage battery(bool plugged);
QImage wireless();
QImage lightning();
QImage warningIcon();
QImage dongleIcon();
QImage busyPlate();
QImage appIcon(int side);
QImage acceptIcon();
QImage rejectIcon();

// Desktop icons -------------------------------------------------------------
// The program's icon at each hicolor size (16 to 256, the tray's 22 and 24),
// as "appicons/<side>x<side>/mousecfg.png"; the install puts them into the
// icon theme.
const QVector<int> &desktopIconSizes();
QImage desktopIcon(int side);
void addAppIconFamily(Pictures &list);

// Macro editor row icons ----------------------------------------------------
enum class RowIcon { Delay, KeyDown, KeyUp, Keyboard, MouseMove };
QImage rowIcon(RowIcon kind);

// Dialogs -------------------------------------------------------------------
QImage dialogBackground(int width, int height, bool withHeaderBand = true);
QImage gunDialogBackground();
QImage gunSetTrack();
QImage gunSetBullet();
QImage macroPageBackground();

// Lighting page -------------------------------------------------------------
struct MouseDesign;
// The top view with the light off, and the light zone as a white shape with
// its halo (alpha is the light's strength), per mouse.
QImage unlitTopView(const MouseDesign &design);
QImage lightZone(const MouseDesign &design);
// lighting_effect.png, colordlg.png and each mouse's Mouse_Led.png and
// Mouse_LedZone.png.
void addLightingPictures(Pictures &list);

// Macro editor -------------------------------------------------------------
// The record button (110 x 28): a red lamp to start, a red square to stop.
QImage recordButton(bool stop, Look look);
// The row tools beside "move to top" (28 x 28).
enum class RowArrow { Up, Down, Bottom };
QImage rowToolArrow(RowArrow arrow, Look look);
// record_start1-4, record_stop1-4, row_up1-4, row_down1-4, row_bottom1-4.
Pictures macroEditorPictures();

// DPI tab -------------------------------------------------------------------
QImage dpiGroove();                   // dpi_groove.png, groove of the DPI sliders
QImage rateChooser();                 // ratesel.png, the report-rate drop-down
void addPerformanceFamily(Pictures &list);

// Busy animation frames (128 x 128, transparent around the ring).
QVector<QImage> busyFrames(int count);

} // namespace skingen
