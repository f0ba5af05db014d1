#include "buttoncatalogue.h"

#include "commands.h"
#include "profile/keys.h"

#include <QCoreApplication>
#include <algorithm>

const char *const kButtonCatalogueContext = "ZelBtnWindow";

namespace {

constexpr quint16 TOP_WHEEL = MENU_TOP | MENU_WHEEL;


// In code order, so lookups can bisect.
const ButtonFunction kFunctions[] = {
    {1, QT_TRANSLATE_NOOP("ZelBtnWindow", "Left"), TOP_WHEEL, ButtonRule::Fixed, {0x81, 0x00, 0x00, 0x00}},
    {2, QT_TRANSLATE_NOOP("ZelBtnWindow", "Right"), TOP_WHEEL, ButtonRule::Fixed, {0x82, 0x00, 0x00, 0x00}},
    {3, QT_TRANSLATE_NOOP("ZelBtnWindow", "Middle"), TOP_WHEEL, ButtonRule::Fixed, {0x83, 0x00, 0x00, 0x00}},
    {4, QT_TRANSLATE_NOOP("ZelBtnWindow", "Forward"), TOP_WHEEL, ButtonRule::Fixed, {0x85, 0x00, 0x00, 0x00}},
    {5, QT_TRANSLATE_NOOP("ZelBtnWindow", "Back"), TOP_WHEEL, ButtonRule::Fixed, {0x84, 0x00, 0x00, 0x00}},
    {6, QT_TRANSLATE_NOOP("ZelBtnWindow", "SINGLE KEY"), MENU_ADVANCE | MENU_WHEEL, ButtonRule::SingleKey, {0x90, 0x00, 0x00, 0x00}},
    {7, QT_TRANSLATE_NOOP("ZelBtnWindow", "COMBO KEY"), MENU_ADVANCE | MENU_WHEEL, ButtonRule::Combo, {0x8F, 0x00, 0x00, 0x00}},
    {12, QT_TRANSLATE_NOOP("ZelBtnWindow", "FIRE KEY"), MENU_ADVANCE, ButtonRule::Fire, {0x99, 0x00, 0x00, 0x00}},
    {13, nullptr, MENU_NONE, ButtonRule::Fixed, {0x30, 0x00, 0x00, 0x00}},
    {16, QT_TRANSLATE_NOOP("ZelBtnWindow", "Button Off"), MENU_TOP, ButtonRule::Fixed, {0x00, 0x00, 0x00, 0x00}},
    {17, QT_TRANSLATE_NOOP("ZelBtnWindow", "Cut"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x1B, 0x00}},
    {18, QT_TRANSLATE_NOOP("ZelBtnWindow", "Copy"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x06, 0x00}},
    {19, QT_TRANSLATE_NOOP("ZelBtnWindow", "Paste"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x19, 0x00}},
    {20, QT_TRANSLATE_NOOP("ZelBtnWindow", "All"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x04, 0x00}},
    {21, QT_TRANSLATE_NOOP("ZelBtnWindow", "Find"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x09, 0x00}},
    {22, QT_TRANSLATE_NOOP("ZelBtnWindow", "New"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x11, 0x00}},
    {23, QT_TRANSLATE_NOOP("ZelBtnWindow", "Print"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x13, 0x00}},
    {24, QT_TRANSLATE_NOOP("ZelBtnWindow", "Save"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x16, 0x00}},
    {25, QT_TRANSLATE_NOOP("ZelBtnWindow", "Switch Window"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x04, 0x2B, 0x00}},
    {26, QT_TRANSLATE_NOOP("ZelBtnWindow", "Close Window"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x04, 0x3D, 0x00}},
    {27, QT_TRANSLATE_NOOP("ZelBtnWindow", "My Computer"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x08, 0x00}},
    {28, QT_TRANSLATE_NOOP("ZelBtnWindow", "Run"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x15, 0x00}},
    {29, QT_TRANSLATE_NOOP("ZelBtnWindow", "Show Desktop"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x07, 0x00}},
    {30, QT_TRANSLATE_NOOP("ZelBtnWindow", "Lock PC"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x0F, 0x00}},
    {31, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Home"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x23, 0x02}},
    {32, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Backward"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x24, 0x02}},
    {33, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Forward"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x25, 0x02}},
    {34, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Stop"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x26, 0x02}},
    {35, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Refresh"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x27, 0x02}},
    {36, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Search"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x21, 0x02}},
    {37, QT_TRANSLATE_NOOP("ZelBtnWindow", "Browser Favorite"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x2A, 0x02}},
    {38, QT_TRANSLATE_NOOP("ZelBtnWindow", "Mail"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x8A, 0x01}},
    {39, QT_TRANSLATE_NOOP("ZelBtnWindow", "Play/Pause"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xCD, 0x00}},
    {40, QT_TRANSLATE_NOOP("ZelBtnWindow", "Stop"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB7, 0x00}},
    {41, QT_TRANSLATE_NOOP("ZelBtnWindow", "Previous Track"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB6, 0x00}},
    {42, QT_TRANSLATE_NOOP("ZelBtnWindow", "Next Track"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB5, 0x00}},
    {43, QT_TRANSLATE_NOOP("ZelBtnWindow", "Volume Up"), MENU_MEDIA | MENU_WHEEL, ButtonRule::Fixed, {0x8E, 0x01, 0xE9, 0x00}},
    {44, QT_TRANSLATE_NOOP("ZelBtnWindow", "Volume Down"), MENU_MEDIA | MENU_WHEEL, ButtonRule::Fixed, {0x8E, 0x01, 0xEA, 0x00}},
    {45, QT_TRANSLATE_NOOP("ZelBtnWindow", "Mute"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xE2, 0x00}},
    {46, QT_TRANSLATE_NOOP("ZelBtnWindow", "Media Player"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0x83, 0x01}},
    {47, QT_TRANSLATE_NOOP("ZelBtnWindow", "DPI Switch"), MENU_DPI, ButtonRule::Fixed, {0x88, 0x00, 0x00, 0x00}},
    {48, QT_TRANSLATE_NOOP("ZelBtnWindow", "DPI +"), MENU_DPI, ButtonRule::Fixed, {0x8A, 0x00, 0x00, 0x00}},
    {49, QT_TRANSLATE_NOOP("ZelBtnWindow", "DPI -"), MENU_DPI, ButtonRule::Fixed, {0x89, 0x00, 0x00, 0x00}},
    {50, QT_TRANSLATE_NOOP("ZelBtnWindow", "Rate +"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x97, 0x00, 0x00, 0x00}},
    {51, QT_TRANSLATE_NOOP("ZelBtnWindow", "Rate -"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x98, 0x00, 0x00, 0x00}},
    {52, QT_TRANSLATE_NOOP("ZelBtnWindow", "Scroll Up"), MENU_WHEEL, ButtonRule::Fixed, {0x8B, 0x00, 0x00, 0x00}},
    {53, QT_TRANSLATE_NOOP("ZelBtnWindow", "Scroll Down"), MENU_WHEEL, ButtonRule::Fixed, {0x8C, 0x00, 0x00, 0x00}},
    {54, QT_TRANSLATE_NOOP("ZelBtnWindow", "Led Switch"), MENU_TOP, ButtonRule::Fixed, {0x9B, 0x08, 0x00, 0x00}},
    {55, QT_TRANSLATE_NOOP("ZelBtnWindow", "SNIPER"), MENU_NONE, ButtonRule::Sniper, {0x9A, 0x01, 0x00, 0x00}},
    {57, QT_TRANSLATE_NOOP("ZelBtnWindow", "Profile +"), MENU_PROFILE, ButtonRule::Fixed, {0x94, 0x00, 0x00, 0x00}},
    {58, QT_TRANSLATE_NOOP("ZelBtnWindow", "Profile -"), MENU_PROFILE, ButtonRule::Fixed, {0x95, 0x00, 0x00, 0x00}},
    {59, QT_TRANSLATE_NOOP("ZelBtnWindow", "Profile Switch"), MENU_PROFILE, ButtonRule::Fixed, {0x8D, 0x00, 0x00, 0x00}},
    {60, nullptr, MENU_NONE, ButtonRule::Fixed, {0x9F, 0x00, 0x00, 0x00}},
    {61, nullptr, MENU_NONE, ButtonRule::Fixed, {0xA0, 0x00, 0x00, 0x00}},
    {62, QT_TRANSLATE_NOOP("ZelBtnWindow", "Boss Key"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x10, 0x00}},
    {63, QT_TRANSLATE_NOOP("ZelBtnWindow", "Rate Switch"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x97, 0x01, 0x00, 0x00}},
    // The label of the two file-based functions is the entry's file name.
    {200, nullptr, MENU_TOP, ButtonRule::Macro, {0x91, 0x00, 0x00, 0x00}},
    {510, nullptr, MENU_NONE, ButtonRule::Macro, {0x9D, 0x00, 0x00, 0x00}},
};

const char *const kMacroAction = QT_TRANSLATE_NOOP("ZelBtnWindow", "Macro Manager");
const char *const kGunFileAction = QT_TRANSLATE_NOOP("ZelBtnWindow", "GunFile Manager");

const char *const kMenuTitles[] = {
    QT_TRANSLATE_NOOP("ZelBtnWindow", "Basic"), QT_TRANSLATE_NOOP("ZelBtnWindow", "Windows"), QT_TRANSLATE_NOOP("ZelBtnWindow", "Advance"), QT_TRANSLATE_NOOP("ZelBtnWindow", "Media"),
    QT_TRANSLATE_NOOP("ZelBtnWindow", "DPI"), QT_TRANSLATE_NOOP("ZelBtnWindow", "Polling Rate"), QT_TRANSLATE_NOOP("ZelBtnWindow", "Profile Menu"),
};


// Key codes of the modifier keys and what each adds to a combo's sum.
int modifierWeight(int keyCode)
{
    switch (keyCode) {
    case 29: case 238: return 1;   // Ctrl
    case 42: case 54: return 2;    // Shift
    case 56: case 239: return 4;   // Alt
    case 91: case 92: return 8;    // Windows key
    default: return 0;
    }
}

} // namespace

const ButtonFunction *buttonFunctions()
{
    return kFunctions;
}

int buttonFunctionCount()
{
    return int(sizeof kFunctions / sizeof kFunctions[0]);
}

const ButtonFunction *findButtonFunction(int code)
{
    const ButtonFunction *end = kFunctions + buttonFunctionCount();
    const ButtonFunction *it = std::lower_bound(kFunctions, end, code,
        [](const ButtonFunction &f, int c) { return f.code < c; });
    return (it != end && it->code == code) ? it : nullptr;
}

const char *buttonFunctionSourceLabel(int code)
{
    const ButtonFunction *f = findButtonFunction(code);
    return (f && f->label) ? f->label : "";
}

QString buttonFunctionLabel(int code)
{
    const char *label = buttonFunctionSourceLabel(code);
    return *label ? QCoreApplication::translate(kButtonCatalogueContext, label) : QString();
}

const char *buttonFunctionActionText(int code)
{
    if (code == FUN_MACRO)
        return kMacroAction;
    if (code == FUN_GUN_FILE)
        return kGunFileAction;
    return "";
}

const char *buttonMenuTitle(ButtonMenu menu)
{
    switch (menu) {
    case MENU_BASIC: return kMenuTitles[0];
    case MENU_WINDOWS: return kMenuTitles[1];
    case MENU_ADVANCE: return kMenuTitles[2];
    case MENU_MEDIA: return kMenuTitles[3];
    case MENU_DPI: return kMenuTitles[4];
    case MENU_POLLING_RATE: return kMenuTitles[5];
    case MENU_PROFILE: return kMenuTitles[6];
    default: return "";
    }
}

QString buttonEntryLabel(const ButtonEntry &entry, int index)
{
    if (entry.Fun == FUN_MACRO || entry.Fun == FUN_GUN_FILE)
        return entry.macroname;
    if ((entry.Fun == FUN_SCROLL_UP || entry.Fun == FUN_SCROLL_DOWN) && index != 40 && index != 41)
        return QString();
    return buttonFunctionLabel(entry.Fun);
}

std::array<quint8, 4> singleKeyBytes(quint8 keyCode)
{
    int usage = 0;
    if (!keyToUsage(keyCode, usage))
        usage = 0;
    return {0x90, 0x00, quint8(usage), 0x00};
}

std::array<quint8, 4> comboKeyBytes(const ButtonEntry &entry)
{
    // A combo of five keys fills exactly ten events (press and release each).
    int sum = 0;
    quint8 key = 0;
    for (int i = 0; i < 10; ++i) {
        const quint8 usage = entry.KeyInfo[i].map;
        if (usage == 0)
            continue;
        int code = -1;
        const int weight = usageToKey(usage, code) ? modifierWeight(code) : 0;
        if (weight)
            sum += weight;
        else
            key = usage;
    }
    // Every modifier occurs once pressed and once released.
    return {0x8F, quint8(sum / 2), key, 0x00};
}

std::array<quint8, 4> fireKeyBytes(const ButtonEntry &entry)
{
    if (entry.Res1 == 0)
        return {0x99, 0x81, 0x03, 0x00};   // left button, three times, no delay
    // The delay goes out in units of 10 ms.
    return {0x99, entry.Res1, quint8(entry.LoopNumber), quint8(entry.KeyNumber / 10)};
}

std::array<quint8, 4> sniperBytes(quint8 step, int sensor)
{
    const quint8 v = sniperRegister(step, sensor);
    return {0x9A, 0x01, v, v};
}

std::array<quint8, 4> macroBytes(bool gunFile, quint8 slot, quint8 loopMode, qint32 loopNumber)
{
    const quint8 first = gunFile ? 0x9D : 0x91;
    switch (loopMode) {
    case 1: return {first, quint8(slot | 0x80), 0xFF, 0xFF};   // while held
    case 2: return {first, quint8(slot | 0x40), 0xFF, 0xFF};   // until pressed again
    default:   // 0, and any stored mode the macro selection cannot produce
        return {first, slot, quint8(loopNumber & 0xFF), quint8((loopNumber >> 8) & 0xFF)};
    }
}

std::array<quint8, 4> buttonDeviceBytes(ButtonEntry &entry, int sensor, MacroSlotTable *slotTable)
{
    const ButtonFunction *f = findButtonFunction(entry.Fun);
    if (!f)
        return {0, 0, 0, 0};
    switch (f->rule) {
    case ButtonRule::Fixed:
        return {f->bytes[0], f->bytes[1], f->bytes[2], f->bytes[3]};
    case ButtonRule::SingleKey:
        return singleKeyBytes(entry.Res1);
    case ButtonRule::Combo:
        return comboKeyBytes(entry);
    case ButtonRule::Fire:
        return fireKeyBytes(entry);
    case ButtonRule::Sniper:
        return sniperBytes(entry.Res1, sensor);
    case ButtonRule::Macro: {
        quint8 slot = 0;
        if (slotTable) {
            slot = slotTable->slotFor(entry.macroname);
            entry.Res4 = slot;
        }
        return macroBytes(entry.Fun == FUN_GUN_FILE, slot, entry.Res1, entry.LoopNumber);
    }
    }
    return {0, 0, 0, 0};
}
