#include "macrorows.h"

#include "profile/keys.h"

#include <QHash>

namespace macro {
namespace {

// Keys of the keypad that share their scan code with a navigation key: the
// keypad's twin (no extended flag) gets a code of its own.
quint32 generalRemap(quint32 scanCode, quint32 flags)
{
    if (flags & ~0x80u)
        return scanCode;
    switch (scanCode) {
    case 0x53: return 0xE0;
    case 0x37: return 0xE3;
    case 0x49: return 0xE4;
    case 0x4F: return 0xE6;
    case 0x50: return 0xE7;
    case 0x51: return 0xE8;
    case 0x4B: return 0xE9;
    case 0x4D: return 0xEA;
    case 0x47: return 0xEB;
    case 0x48: return 0xEC;
    case 0x52: return 0xED;
    default: return scanCode;
    }
}

// Num Lock, keypad /, keypad Enter and right Ctrl: told apart by the flags.
bool specialRemap(quint32 scanCode, quint32 *out)
{
    switch (scanCode) {
    case 0x45: *out = 0xE1; return true;
    case 0x35: *out = 0xE2; return true;
    case 0x1C: *out = 0xE5; return true;
    case 0x1D: *out = 0xEE; return true;
    default: return false;
    }
}

qint8 asSigned(quint8 v)
{
    return static_cast<qint8>(v);
}

quint8 asByte(int v)
{
    return static_cast<quint8>(static_cast<qint8>(qBound(-128, v, 127)));
}

} // namespace

HookedKey remapHookedKey(quint32 scanCode, quint32 flags, quint32 virtualKey)
{
    HookedKey key{scanCode, flags};
    quint32 special = 0;
    if (flags & 0x80u) {
        if (specialRemap(scanCode, &special)) {
            if (flags == 0x81u)
                key.scanCode = special;
        } else {
            key.scanCode = generalRemap(scanCode, flags);
        }
    } else if (flags & 0x20u) {
        key.flags = 0;
        if (!specialRemap(scanCode, &special))
            key.scanCode = generalRemap(scanCode, 0);
    } else {
        if (specialRemap(scanCode, &special)) {
            if (flags == 0x01u)
                key.scanCode = special;
        } else {
            key.scanCode = generalRemap(scanCode, flags);
        }
    }
    if (scanCode == 0x38 && virtualKey == 0xA5)
        key.scanCode = 0xEF;
    return key;
}

int measuredDelayUnits(qint64 elapsedMs, int unitMs)
{
    if (unitMs <= 0)
        unitMs = 10;
    if (elapsedMs <= 0)
        return 1;
    const qint64 units = elapsedMs / unitMs;
    return int(qBound<qint64>(1, units, DELAY_UNITS_MAX));
}

int delayUnitsForMs(qint64 ms, int unitMs)
{
    if (unitMs <= 0)
        unitMs = 10;
    if (ms <= 0)
        return 0;
    return int(qMin<qint64>(ms / unitMs, DELAY_UNITS_MAX));
}

KeyInfo delayRow(int units)
{
    const int v = qBound(0, units, int(DELAY_UNITS_MAX));
    KeyInfo row;
    row.map = CODE_DELAY;
    row.dataH = quint8(v >> 8);
    row.dataL = quint8(v & 0xFF);
    return row;
}

int delayRowUnits(const KeyInfo &row)
{
    return row.dataH * 256 + row.dataL;
}

KeyInfo keyRow(int keyCode, bool press)
{
    KeyInfo row;
    row.map = press ? CODE_KEY_DOWN : CODE_KEY_UP;
    int usage = 0;
    row.dataL = keyToUsage(keyCode, usage) ? quint8(usage) : quint8(keyCode);
    return row;
}

int keyRowCode(const KeyInfo &row)
{
    int code = 0;
    return usageToKey(row.dataL, code) ? code : row.dataL;
}

KeyInfo mouseButtonRow(quint8 buttonBit, bool press)
{
    KeyInfo row;
    row.map = press ? CODE_MOUSE_DOWN : CODE_MOUSE_UP;
    row.dataL = buttonBit;
    return row;
}

KeyInfo moveRow(int dx, int dy)
{
    KeyInfo row;
    row.map = CODE_MOVE;
    row.dataH = asByte(dx);
    row.dataL = asByte(dy);
    return row;
}

int moveRowX(const KeyInfo &row)
{
    return asSigned(row.dataH);
}

int moveRowY(const KeyInfo &row)
{
    return asSigned(row.dataL);
}

quint8 commandButtonBit(MouseCommand command)
{
    switch (command) {
    case CMD_LEFT_CLICK: return MOUSE_LEFT;
    case CMD_MIDDLE_CLICK: return MOUSE_MIDDLE;
    case CMD_RIGHT_CLICK: return MOUSE_RIGHT;
    case CMD_FORWARD: return MOUSE_FORWARD;
    case CMD_BACKWARD: return MOUSE_BACK;
    default: return 0;
    }
}

int rowCommand(const KeyInfo &row)
{
    if (isMouseButtonRow(row)) {
        for (int c = CMD_LEFT_CLICK; c <= CMD_BACKWARD; ++c) {
            if (commandButtonBit(MouseCommand(c)) == row.dataL)
                return c;
        }
        return -1;
    }
    if (row.map != CODE_MOVE)
        return -1;
    const int x = moveRowX(row), y = moveRowY(row);
    if (qAbs(x) >= qAbs(y))
        return x < 0 ? CMD_MOVE_LEFT : CMD_MOVE_RIGHT;
    return y < 0 ? CMD_MOVE_UP : CMD_MOVE_DOWN;
}

KeyInfo commandMoveRow(MouseCommand command, int distance)
{
    switch (command) {
    case CMD_MOVE_LEFT: return moveRow(-distance, 0);
    case CMD_MOVE_RIGHT: return moveRow(distance, 0);
    case CMD_MOVE_UP: return moveRow(0, -distance);
    case CMD_MOVE_DOWN: return moveRow(0, distance);
    default: return moveRow(0, 0);
    }
}

bool isKeyRow(const KeyInfo &row)
{
    return row.map == CODE_KEY_DOWN || row.map == CODE_KEY_UP;
}

bool isMouseButtonRow(const KeyInfo &row)
{
    return row.map == CODE_MOUSE_DOWN || row.map == CODE_MOUSE_UP;
}

bool isPressRow(const KeyInfo &row)
{
    return row.map == CODE_KEY_DOWN || row.map == CODE_MOUSE_DOWN;
}

KeyInfo flippedRow(const KeyInfo &row, bool press)
{
    KeyInfo out = row;
    if (isKeyRow(row))
        out.map = press ? CODE_KEY_DOWN : CODE_KEY_UP;
    else if (isMouseButtonRow(row))
        out.map = press ? CODE_MOUSE_DOWN : CODE_MOUSE_UP;
    return out;
}

bool rowsBalanced(const QVector<KeyInfo> &rows)
{
    // Keys and mouse buttons count apart: key usage n and button bit n differ.
    QHash<int, int> held;
    for (const KeyInfo &row : rows) {
        if (!isKeyRow(row) && !isMouseButtonRow(row))
            continue;
        const int id = (isKeyRow(row) ? 0 : 0x100) | row.dataL;
        if (isPressRow(row)) {
            ++held[id];
        } else if (held.value(id) > 0) {
            --held[id];
        }
    }
    for (int count : held) {
        if (count > 0)
            return false;
    }
    return true;
}

QVector<KeyInfo> gunSetEvents(const QVector<GunShot> &shots)
{
    QVector<KeyInfo> rows;
    for (const GunShot &shot : shots) {
        rows << mouseButtonRow(MOUSE_LEFT, true) << mouseButtonRow(MOUSE_LEFT, false);
        if (shot.x != 0)
            rows << moveRow(shot.x, 0);
        if (shot.y != 0)
            rows << moveRow(0, shot.y);
        if (shot.delayMs != 0)
            rows << delayRow(shot.delayMs / 10);
    }
    return rows;
}

} // namespace macro
