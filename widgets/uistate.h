#pragma once
// Process-wide look of the user interface: the scale factor every size and
// position is multiplied by, the theme colour, the alternate text palette,
// the language font, the shared menu and dialog-button style sheets, and the
// few facts the message box needs from the main window. GUI thread only.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;
class QPixmap;
class QWidget;

// --- scale ------------------------------------------------------------------
// 1.0 to 5.0, set by the main window from the screen's logical DPI. Values
// that are not finite or not positive are refused (false) and change nothing.
double scaleFactor();
bool setScaleFactor(double factor);

// Design units times the scale factor, truncated towards zero; a rectangle
// (x, y, w, h) scales each of its four numbers.
int scaled(int value);
QSize scaled(const QSize &size);
QRect scaled(const QRect &rect);
inline QRect scaled(int x, int y, int w, int h) { return scaled(QRect(x, y, w, h)); }

// --- theme colour -----------------------------------------------------------
enum { THEME_COLOR_COUNT = 7 };
// The colour of table entry index; an index outside the table gives entry 0.
QColor themeColor(int index);
// The current entry (Config/GColorID, default 0).
QColor themeColor();
int themeColorIndex();
// An index outside 0..6 selects entry 0, as a missing Config/GColorID does.
void setThemeColorIndex(int index);

// --- push-button text palette -------------------------------------------------
bool alternateStyle();
void setAlternateStyle(bool on);

// --- device presence as the main window sees it ---------------------------------
// The message box's device watch asks this; without a query the device counts
// as not connected.
void setDeviceConnectedQuery(std::function<bool()> query);
bool isDeviceConnected();

// --- the window message boxes belong to -------------------------------------
// Every ZelMessageBox records its parent here; cleared when that widget dies.
void setMessageBoxParent(QWidget *parent);
QWidget *messageBoxParent();

// --- files --------------------------------------------------------------------
// applicationDir() + relative, e.g. appFilePath("/skin/dlg.png").
QString appFilePath(const QString &relative);

// --- fonts --------------------------------------------------------------------
// The current language's font (family and pixel size from Config.ini) built
// on base (weight, style): the pixel size is fixedPx when that is positive,
// else the language's size, less shrink, times the scale factor (at least 1).
// Where no size results, the size of base is kept; where the language has no
// family, the family of base. Always antialiased.
QFont scaledPageFont(const QFont &base = QFont(), int fixedPx = 0, int shrink = 0);
// Pixel size px times the scale factor, never below 1, applied to font.
void setScaledPixelSize(QFont &font, int px);
// Bold "Consolas" at 14 pixels times the scale: the text of dialog headings
// and of the dialogs' tool buttons.
QFont dialogFont();

// --- style sheets -------------------------------------------------------------
// The popup menus of the main window (model list, slots, profile files,
// languages) and every page menu.
QString menuStyleSheet();
// The accept and reject tool buttons of every dialog, with the theme colour
// as border colour.
QString dialogButtonStyleSheet();
// Tool tips in the skin's colours: light text on the menus' dark grey, a
// border in the theme colour. A widget whose own style sheet gives every
// child a transparent background adds it after that rule.
QString toolTipStyleSheet();
// The application's style, drawing no focus frames (the program shows the
// focus its own way): the same pixels as an `outline` rule in a style sheet
// on every widget, without putting every widget through sheet styling.
// Installed once; later calls do nothing.
void useFocuslessStyle();

// --- skinned dialog frame -------------------------------------------------------
// The skin picture stretched over the whole widget (a dark fill when the
// picture is missing), then a 2-pixel theme-coloured frame 1 pixel inside
// the edge.
void paintDialogFrame(QPainter &painter, const QWidget *widget, const QPixmap &background);
