#include "keys.h"

#include <QLocale>

#include <atomic>

namespace {

// Names of the standard layout, indexed by key code; codes 240-242 are the
// mouse buttons.
const char *standardName(int code)
{
    static const char *const main[94] = {
        nullptr, "Esc", "1", "2", "3", "4", "5", "6", "7", "8",                          // 0-9
        "9", "0", "-", "=", "Backspace", "Tab", "Q", "W", "E", "R",                      // 10-19
        "T", "Y", "U", "I", "O", "P", "[", "]", "Enter", "LCtr",                         // 20-29
        "A", "S", "D", "F", "G", "H", "J", "K", "L", ";",                                // 30-39
        "'", "`", "LShift", "\\", "Z", "X", "C", "V", "B", "N",                          // 40-49
        "M", ",", ".", "/", "RShift", "Print Screen", "LAlt", "Space", "CapsLock", "F1", // 50-59
        "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "Pause Break",            // 60-69
        "Scroll Lock", "Home", "Up", "Page Up", "Num -", "Left", "Num 5", "Right", "Num +", "End", // 70-79
        "Down", "Page Down", "Insert", "Delete", nullptr, nullptr, nullptr, "F11", "F12", nullptr, // 80-89
        nullptr, "LWindows", "RWindows", "App",                                          // 90-93
    };
    static const char *const high[19] = {
        "Num De", "Num Lock", "Num /", "Num *", "Num 9", "Num Enter", "Num 1", "Num 2",   // 224-231
        "Num 3", "Num 4", "Num 6", "Num 7", "Num 8", "Num 0", "RCtr", "RAlt",             // 232-239
        "Left Button", "Right Button", "Middle Button",                                   // 240-242
    };
    if (code >= 0 && code < 94)
        return main[code];
    if (code >= 224 && code <= 242)
        return high[code - 224];
    return nullptr;
}

// The French layout's names where they differ from the standard ones (UTF-8).
const char *frenchName(int code)
{
    static const struct { int code; const char *name; } names[] = {
        {1, "Echap"}, {2, "&"}, {3, "\xC3\xA9"}, {4, "\""}, {5, "'"}, {6, "("}, {7, "-"},
        {8, "\xC3\xA8"}, {9, "_"}, {10, "\xC3\xA7"}, {11, "\xC3\xA0"}, {12, ")"}, {14, "Ret.arr"},
        {16, "a"}, {17, "z"}, {18, "e"}, {19, "r"}, {20, "t"}, {21, "y"}, {22, "u"}, {23, "i"},
        {24, "o"}, {25, "p"}, {26, "^"}, {27, "$"}, {28, "Entree"}, {29, "LCtrl"},
        {30, "q"}, {31, "s"}, {32, "d"}, {33, "f"}, {34, "g"}, {35, "h"}, {36, "j"}, {37, "k"},
        {38, "l"}, {39, "m"}, {40, "\xC3\xB9"}, {41, "\xC2\xB2"}, {43, "*"},
        {44, "w"}, {45, "x"}, {46, "c"}, {47, "v"}, {48, "b"}, {49, "n"}, {50, ","},
        {51, ";"}, {52, ":"}, {53, "!"}, {57, "espace"}, {58, "Verr.maj"},
        {224, "Num Del"}, {238, "RCtrl"},
    };
    for (const auto &n : names)
        if (n.code == code)
            return n.name;
    return nullptr;
}

// USB HID Usage Tables, Keyboard/Keypad page (0x07).
const KeyUsagePair kPairs[KEY_USAGE_PAIR_COUNT] = {
    {30, 0x04},  {48, 0x05},  {46, 0x06},  {32, 0x07},  {18, 0x08},  {33, 0x09},  {34, 0x0A},  // A B C D E F G
    {35, 0x0B},  {23, 0x0C},  {36, 0x0D},  {37, 0x0E},  {38, 0x0F},  {50, 0x10},  {49, 0x11},  // H I J K L M N
    {24, 0x12},  {25, 0x13},  {16, 0x14},  {19, 0x15},  {31, 0x16},  {20, 0x17},  {22, 0x18},  // O P Q R S T U
    {47, 0x19},  {17, 0x1A},  {45, 0x1B},  {21, 0x1C},  {44, 0x1D},                             // V W X Y Z
    {2, 0x1E},   {3, 0x1F},   {4, 0x20},   {5, 0x21},   {6, 0x22},   {7, 0x23},   {8, 0x24},   // 1-7
    {9, 0x25},   {10, 0x26},  {11, 0x27},                                                      // 8 9 0
    {28, 0x28},  {1, 0x29},   {14, 0x2A},  {15, 0x2B},  {57, 0x2C},                             // Enter Esc Backspace Tab Space
    {12, 0x2D},  {13, 0x2E},  {26, 0x2F},  {27, 0x30},  {43, 0x31},                             // - = [ ] '\'
    {39, 0x33},  {40, 0x34},  {41, 0x35},  {51, 0x36},  {52, 0x37},  {53, 0x38},  {58, 0x39},  // ; ' ` , . / CapsLock
    {59, 0x3A},  {60, 0x3B},  {61, 0x3C},  {62, 0x3D},  {63, 0x3E},  {64, 0x3F},                // F1-F6
    {65, 0x40},  {66, 0x41},  {67, 0x42},  {68, 0x43},  {87, 0x44},  {88, 0x45},                // F7-F12
    {55, 0x46},  {70, 0x47},  {69, 0x48},  {82, 0x49},  {71, 0x4A},  {73, 0x4B},                // PrtSc ScrLk Pause Ins Home PgUp
    {83, 0x4C},  {79, 0x4D},  {81, 0x4E},  {77, 0x4F},  {75, 0x50},  {80, 0x51},  {72, 0x52},  // Del End PgDn Right Left Down Up
    {225, 0x53}, {226, 0x54}, {227, 0x55}, {74, 0x56},  {78, 0x57},  {229, 0x58},               // NumLk / * - + Enter
    {230, 0x59}, {231, 0x5A}, {232, 0x5B}, {233, 0x5C}, {76, 0x5D},  {234, 0x5E},               // Num 1-6
    {235, 0x5F}, {236, 0x60}, {228, 0x61}, {237, 0x62}, {224, 0x63}, {93, 0x65},                // Num 7 8 9 0 . App
    {42, 0xE1},  {29, 0xE0},  {91, 0xE3},  {56, 0xE2},  {239, 0xE6}, {92, 0xE7}, {238, 0xE4},  // LShift LCtr LWin LAlt RAlt RWin RCtr
    {54, 0xE5},                                                                                 // RShift
};

bool systemLocaleIsFrench()
{
    return QLocale::system().language() == QLocale::French;
}

std::atomic<FrenchLayoutQuery> g_frenchQuery{&systemLocaleIsFrench};

} // namespace

QString keyName(int code, bool french)
{
    const char *name = french ? frenchName(code) : nullptr;
    if (!name)
        name = standardName(code);
    return name ? QString::fromUtf8(name) : QString();
}

QString keyName(int code)
{
    const FrenchLayoutQuery query = g_frenchQuery.load();
    return keyName(code, query());
}

void setFrenchLayoutQuery(FrenchLayoutQuery query)
{
    g_frenchQuery.store(query ? query : &systemLocaleIsFrench);
}

bool keyToUsage(int code, int &usage)
{
    bool found = false;
    for (const KeyUsagePair &p : kPairs) {
        if (p.code == code) {
            usage = p.usage;
            found = true;
        }
    }
    return found;
}

bool usageToKey(int usage, int &code)
{
    bool found = false;
    for (const KeyUsagePair &p : kPairs) {
        if (p.usage == usage) {
            code = p.code;
            found = true;
        }
    }
    return found;
}

const KeyUsagePair *keyUsagePairs()
{
    return kPairs;
}
