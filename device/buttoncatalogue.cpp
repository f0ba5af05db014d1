#include "buttoncatalogue.h"

#include "commands.h"
#include "profile/keys.h"

#include <QCoreApplication>
#include <algorithm>

const char *const kButtonCatalogueContext = "ZelBtnWindow";

namespace {

constexpr quint16 TOP_WHEEL = MENU_TOP | MENU_WHEEL;

#define LABEL(text) QT_TRANSLATE_NOOP("ZelBtnWindow", text)

// In code order, so lookups can bisect.
const ButtonFunction kFunctions[] = {
    {1, LABEL("Left"), TOP_WHEEL, ButtonRule::Fixed, {0x81, 0x00, 0x00, 0x00}},
    {2, LABEL("Right"), TOP_WHEEL, ButtonRule::Fixed, {0x82, 0x00, 0x00, 0x00}},
    {3, LABEL("Middle"), TOP_WHEEL, ButtonRule::Fixed, {0x83, 0x00, 0x00, 0x00}},
    {4, LABEL("Forward"), TOP_WHEEL, ButtonRule::Fixed, {0x85, 0x00, 0x00, 0x00}},
    {5, LABEL("Back"), TOP_WHEEL, ButtonRule::Fixed, {0x84, 0x00, 0x00, 0x00}},
    {6, LABEL("SINGLE KEY"), MENU_ADVANCE | MENU_WHEEL, ButtonRule::SingleKey, {0x90, 0x00, 0x00, 0x00}},
    {7, LABEL("COMBO KEY"), MENU_ADVANCE | MENU_WHEEL, ButtonRule::Combo, {0x8F, 0x00, 0x00, 0x00}},
    {12, LABEL("FIRE KEY"), MENU_ADVANCE, ButtonRule::Fire, {0x99, 0x00, 0x00, 0x00}},
    {13, nullptr, MENU_NONE, ButtonRule::Fixed, {0x30, 0x00, 0x00, 0x00}},
    {16, LABEL("Button Off"), MENU_TOP, ButtonRule::Fixed, {0x00, 0x00, 0x00, 0x00}},
    {17, LABEL("Cut"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x1B, 0x00}},
    {18, LABEL("Copy"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x06, 0x00}},
    {19, LABEL("Paste"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x19, 0x00}},
    {20, LABEL("All"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x04, 0x00}},
    {21, LABEL("Find"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x09, 0x00}},
    {22, LABEL("New"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x11, 0x00}},
    {23, LABEL("Print"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x13, 0x00}},
    {24, LABEL("Save"), MENU_BASIC, ButtonRule::Fixed, {0x8F, 0x01, 0x16, 0x00}},
    {25, LABEL("Switch Window"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x04, 0x2B, 0x00}},
    {26, LABEL("Close Window"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x04, 0x3D, 0x00}},
    {27, LABEL("My Computer"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x08, 0x00}},
    {28, LABEL("Run"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x15, 0x00}},
    {29, LABEL("Show Desktop"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x07, 0x00}},
    {30, LABEL("Lock PC"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x0F, 0x00}},
    {31, LABEL("Browser Home"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x23, 0x02}},
    {32, LABEL("Browser Backward"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x24, 0x02}},
    {33, LABEL("Browser Forward"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x25, 0x02}},
    {34, LABEL("Browser Stop"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x26, 0x02}},
    {35, LABEL("Browser Refresh"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x27, 0x02}},
    {36, LABEL("Browser Search"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x21, 0x02}},
    {37, LABEL("Browser Favorite"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x2A, 0x02}},
    {38, LABEL("Mail"), MENU_WINDOWS, ButtonRule::Fixed, {0x8E, 0x01, 0x8A, 0x01}},
    {39, LABEL("Play/Pause"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xCD, 0x00}},
    {40, LABEL("Stop"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB7, 0x00}},
    {41, LABEL("Previous Track"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB6, 0x00}},
    {42, LABEL("Next Track"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xB5, 0x00}},
    {43, LABEL("Volume Up"), MENU_MEDIA | MENU_WHEEL, ButtonRule::Fixed, {0x8E, 0x01, 0xE9, 0x00}},
    {44, LABEL("Volume Down"), MENU_MEDIA | MENU_WHEEL, ButtonRule::Fixed, {0x8E, 0x01, 0xEA, 0x00}},
    {45, LABEL("Mute"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0xE2, 0x00}},
    {46, LABEL("Media Player"), MENU_MEDIA, ButtonRule::Fixed, {0x8E, 0x01, 0x83, 0x01}},
    {47, LABEL("DPI Switch"), MENU_DPI, ButtonRule::Fixed, {0x88, 0x00, 0x00, 0x00}},
    {48, LABEL("DPI +"), MENU_DPI, ButtonRule::Fixed, {0x8A, 0x00, 0x00, 0x00}},
    {49, LABEL("DPI -"), MENU_DPI, ButtonRule::Fixed, {0x89, 0x00, 0x00, 0x00}},
    {50, LABEL("Rate +"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x97, 0x00, 0x00, 0x00}},
    {51, LABEL("Rate -"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x98, 0x00, 0x00, 0x00}},
    {52, LABEL("Scroll Up"), MENU_WHEEL, ButtonRule::Fixed, {0x8B, 0x00, 0x00, 0x00}},
    {53, LABEL("Scroll Down"), MENU_WHEEL, ButtonRule::Fixed, {0x8C, 0x00, 0x00, 0x00}},
    {54, LABEL("Led Switch"), MENU_TOP, ButtonRule::Fixed, {0x9B, 0x08, 0x00, 0x00}},
    {55, LABEL("SNIPER"), MENU_NONE, ButtonRule::Sniper, {0x9A, 0x01, 0x00, 0x00}},
    {57, LABEL("Profile +"), MENU_PROFILE, ButtonRule::Fixed, {0x94, 0x00, 0x00, 0x00}},
    {58, LABEL("Profile -"), MENU_PROFILE, ButtonRule::Fixed, {0x95, 0x00, 0x00, 0x00}},
    {59, LABEL("Profile Switch"), MENU_PROFILE, ButtonRule::Fixed, {0x8D, 0x00, 0x00, 0x00}},
    {60, nullptr, MENU_NONE, ButtonRule::Fixed, {0x9F, 0x00, 0x00, 0x00}},
    {61, nullptr, MENU_NONE, ButtonRule::Fixed, {0xA0, 0x00, 0x00, 0x00}},
    {62, LABEL("Boss Key"), MENU_WINDOWS, ButtonRule::Fixed, {0x8F, 0x08, 0x10, 0x00}},
    {63, LABEL("Rate Switch"), MENU_POLLING_RATE, ButtonRule::Fixed, {0x97, 0x01, 0x00, 0x00}},
    // The label of the two file-based functions is the entry's file name.
    {200, nullptr, MENU_TOP, ButtonRule::Macro, {0x91, 0x00, 0x00, 0x00}},
    {510, nullptr, MENU_NONE, ButtonRule::Macro, {0x9D, 0x00, 0x00, 0x00}},
};

const char *const kMacroAction = LABEL("Macro Manager");
const char *const kGunFileAction = LABEL("GunFile Manager");

const char *const kMenuTitles[] = {
    LABEL("Basic"), LABEL("Windows"), LABEL("Advance"), LABEL("Media"),
    LABEL("DPI"), LABEL("Polling Rate"), LABEL("Profile Menu"),
};

#undef LABEL

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
    quint8 v = 4;
    switch (sensor) {
    case 3104: case 3212: case 3389: v = step; break;
    case 3360: v = quint8(step - 1); break;
    case 3325: v = registerValue(R3325, step); break;
    case 3327: v = registerValue(R3327, step); break;
    case 3335: v = registerValue(R3335, step); break;
    default: break;
    }
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
