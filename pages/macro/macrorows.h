#pragma once
// The rows of a macro as the editor and the recorder build them, and the pure
// conversions behind them. A row is a KeyInfo triple (map, dataL, dataH):
//
//   map 132 / 4     key press / release, dataL the key's HID usage (the
//                   remapped scan code for a key without one), dataH 0
//   map 1 / 129     mouse button press / release, dataL the button bit
//   map 2           movement, dataH the horizontal and dataL the vertical
//                   step as signed bytes (right and down are positive)
//   map 6           delay, dataH * 256 + dataL units of the delay unit

#include "profile/records.h"

#include <QString>
#include <QVector>

namespace macro {

enum RowCode : quint8 {
    CODE_MOUSE_DOWN = 1,
    CODE_MOVE = 2,
    CODE_KEY_UP = 4,
    CODE_DELAY = 6,
    CODE_MOUSE_UP = 129,
    CODE_KEY_DOWN = 132,
};

enum MouseButtonBit : quint8 {
    MOUSE_LEFT = 0x01,
    MOUSE_RIGHT = 0x02,
    MOUSE_MIDDLE = 0x04,
    MOUSE_BACK = 0x08,
    MOUSE_FORWARD = 0x10,
};

// The commands of the editor's mouse command tree, in its order.
enum MouseCommand {
    CMD_LEFT_CLICK, CMD_MIDDLE_CLICK, CMD_RIGHT_CLICK, CMD_FORWARD, CMD_BACKWARD,
    CMD_MOVE_LEFT, CMD_MOVE_RIGHT, CMD_MOVE_UP, CMD_MOVE_DOWN, MOUSE_COMMAND_COUNT
};
quint8 commandButtonBit(MouseCommand command);   // 0 for the movements
// The command a mouse row shows as (a button row: its button; a movement row:
// the direction of its larger step); -1 for other rows.
int rowCommand(const KeyInfo &row);
// A movement of the given distance in the command's direction.
KeyInfo commandMoveRow(MouseCommand command, int distance);

// The recorder's row limits: no more events once the list holds more than
// 39 rows without delays, or more than 61 rows with them.
enum { ROW_LIMIT_PLAIN = 39, ROW_LIMIT_DELAYS = 61, DELAY_UNITS_MAX = 0xFFFF };

// Scan code and flags of a hooked key after the remapping that tells keypad
// and navigation keys, and left and right Ctrl and Alt, apart.
struct HookedKey {
    quint32 scanCode = 0;
    quint32 flags = 0;
    bool operator==(const HookedKey &o) const { return scanCode == o.scanCode && flags == o.flags; }
};
HookedKey remapHookedKey(quint32 scanCode, quint32 flags, quint32 virtualKey);
inline bool isPress(quint32 flags) { return flags < 2; }

// Units for the time between two recorded events: one unit when no time
// passed, else the whole units elapsed, at least one, at most 65535.
int measuredDelayUnits(qint64 elapsedMs, int unitMs);
// Units for a typed number of milliseconds (floor), at most 65535.
int delayUnitsForMs(qint64 ms, int unitMs);

KeyInfo delayRow(int units);
int delayRowUnits(const KeyInfo &row);
// A press or release row of a key code; dataL is its HID usage when it has one.
KeyInfo keyRow(int keyCode, bool press);
// The key code a key row stands for (the inverse of keyRow).
int keyRowCode(const KeyInfo &row);
KeyInfo mouseButtonRow(quint8 buttonBit, bool press);
KeyInfo moveRow(int dx, int dy);
int moveRowX(const KeyInfo &row);   // signed
int moveRowY(const KeyInfo &row);

bool isKeyRow(const KeyInfo &row);
bool isMouseButtonRow(const KeyInfo &row);
bool isPressRow(const KeyInfo &row);   // key or mouse button press
// The same key or button going the other way (press <-> release).
KeyInfo flippedRow(const KeyInfo &row, bool press);

// True when every key and mouse button pressed in the rows is released again
// later on, counting each press on its own (two presses need two releases).
bool rowsBalanced(const QVector<KeyInfo> &rows);

// One shot of a gun file: a left click, a movement, a pause.
struct GunShot {
    int delayMs = 100;
    int x = 0;
    int y = 0;
};
QVector<KeyInfo> gunSetEvents(const QVector<GunShot> &shots);

} // namespace macro
