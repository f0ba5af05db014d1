#pragma once
// The functions a mouse button can hold: the code stored in a ButtonEntry,
// the label the button page shows, the menus that offer it, and the four
// bytes that stand for it in the mouse's button table.

#include "profile/records.h"

#include <QString>
#include <array>

class MacroSlotTable;

// Function codes with a meaning of their own in the rules below.
enum ButtonFunctionCode : int {
    FUN_LEFT = 1,
    FUN_SINGLE_KEY = 6,
    FUN_COMBO_KEY = 7,
    FUN_FIRE_KEY = 12,
    FUN_BUTTON_OFF = 16,
    FUN_SCROLL_UP = 52,
    FUN_SCROLL_DOWN = 53,
    FUN_SNIPER = 55,
    FUN_MACRO = 200,
    FUN_GUN_FILE = 510,
};

// Menus that offer a function (flags; a function may sit in several).
enum ButtonMenu : quint16 {
    MENU_NONE = 0,
    MENU_TOP = 0x001,        // top level of the button menu
    MENU_WHEEL = 0x002,      // menu of the two wheel directions
    MENU_BASIC = 0x004,
    MENU_WINDOWS = 0x008,
    MENU_ADVANCE = 0x010,
    MENU_MEDIA = 0x020,
    MENU_DPI = 0x040,
    MENU_POLLING_RATE = 0x080,
    MENU_PROFILE = 0x100,    // "Profile Menu": built by the page but not placed
};

// How the four device bytes of a function are formed.
enum class ButtonRule : quint8 { Fixed, SingleKey, Combo, Fire, Sniper, Macro };

struct ButtonFunction {
    int code;
    const char *label;   // untranslated text (context "ZelBtnWindow"); nullptr: no label
    quint16 menus;       // ButtonMenu flags
    ButtonRule rule;
    quint8 bytes[4];     // fixed bytes; for the other rules only the first byte is fixed
};

// Translation context of every catalogue text.
extern const char *const kButtonCatalogueContext;   // "ZelBtnWindow"

// All functions in code order.
const ButtonFunction *buttonFunctions();
int buttonFunctionCount();
// nullptr for a code outside the catalogue (8-11, 14, 15, 56, ...).
const ButtonFunction *findButtonFunction(int code);

// Untranslated label of a code ("" for codes without one) and its translation.
const char *buttonFunctionSourceLabel(int code);
QString buttonFunctionLabel(int code);
// Action texts of the two file-based functions: "Macro Manager" (200) and
// "GunFile Manager" (510); "" for any other code.
const char *buttonFunctionActionText(int code);
// Untranslated title of one submenu ("Basic", "Windows", "Advance", "Media",
// "DPI", "Profile Menu", "Polling Rate"); "" for MENU_TOP, MENU_WHEEL, MENU_NONE.
const char *buttonMenuTitle(ButtonMenu menu);

// The label of entry `index` (0..41) shown on its page button: the translated
// catalogue label, the macro name for 200 and 510, and nothing for codes 52
// and 53 outside the wheel entries 40 and 41.
QString buttonEntryLabel(const ButtonEntry &entry, int index);

// The four device bytes of an entry. `sensor` is the sensor code (sniper
// rule). For 200 and 510 the entry's macro name gets a device slot from
// `slotTable` (new names the next number) and the slot is written to Res4; with
// no table the slot is 0 and Res4 is left alone.
std::array<quint8, 4> buttonDeviceBytes(ButtonEntry &entry, int sensor, MacroSlotTable *slotTable);

// The individual rules, for callers that already know the rule.
std::array<quint8, 4> singleKeyBytes(quint8 keyCode);
std::array<quint8, 4> comboKeyBytes(const ButtonEntry &entry);
std::array<quint8, 4> fireKeyBytes(const ButtonEntry &entry);
std::array<quint8, 4> sniperBytes(quint8 step, int sensor);
// Loop modes: 0 play LoopNumber times, 1 while held, 2 until pressed again.
// A stored mode above 2 is played like mode 0.
std::array<quint8, 4> macroBytes(bool gunFile, quint8 slot, quint8 loopMode, qint32 loopNumber);
