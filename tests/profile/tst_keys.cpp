// Key names (standard and French) and the key code / HID usage table.

#include "profile/keys.h"

#include <QSet>
#include <QtTest>

namespace {
bool g_french = false;
int g_queries = 0;
bool countingQuery()
{
    ++g_queries;
    return g_french;
}
bool alwaysFrench() { return true; }

// Standard names of codes 1 to 93, transcribed independently of the code.
const char *const kStandard[] = {
    "Esc", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=", "Backspace", "Tab",
    "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]", "Enter", "LCtr",
    "A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'", "`", "LShift", "\\",
    "Z", "X", "C", "V", "B", "N", "M", ",", ".", "/", "RShift", "Print Screen", "LAlt", "Space", "CapsLock",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "Pause Break", "Scroll Lock",
    "Home", "Up", "Page Up", "Num -", "Left", "Num 5", "Right", "Num +", "End", "Down", "Page Down", "Insert", "Delete",
    "", "", "", "F11", "F12", "", "", "LWindows", "RWindows", "App",
};
const char *const kStandardHigh[] = {
    "Num De", "Num Lock", "Num /", "Num *", "Num 9", "Num Enter", "Num 1", "Num 2", "Num 3", "Num 4",
    "Num 6", "Num 7", "Num 8", "Num 0", "RCtr", "RAlt", "Left Button", "Right Button", "Middle Button",
};
}

class TestKeys : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setFrenchLayoutQuery(nullptr); }
    void standardNames();
    void frenchNames();
    void layoutAskedOnEveryCall();
    void tableShape();
    void tableCoversNamedKeys();
    void usagesFollowTheKeyboardPage();
    void roundTrips();
    void misses();
};

void TestKeys::standardNames()
{
    static_assert(sizeof kStandard / sizeof *kStandard == 93, "codes 1..93");
    for (int code = 1; code <= 93; ++code)
        QCOMPARE(keyName(code, false), QString::fromUtf8(kStandard[code - 1]));
    for (int code = 224; code <= 242; ++code)
        QCOMPARE(keyName(code, false), QString::fromUtf8(kStandardHigh[code - 224]));
    for (int code : {-1, 0, 84, 85, 86, 89, 90, 94, 100, 200, 223, 243, 255, 256, 1000})
        QVERIFY2(keyName(code, false).isEmpty() && keyName(code, true).isEmpty(), qPrintable(QString::number(code)));
}

void TestKeys::frenchNames()
{
    const struct { int code; const char *name; } french[] = {
        {1, "Echap"}, {2, "&"}, {3, "é"}, {4, "\""}, {5, "'"}, {6, "("}, {7, "-"}, {8, "è"}, {9, "_"},
        {10, "ç"}, {11, "à"}, {12, ")"}, {14, "Ret.arr"}, {16, "a"}, {17, "z"}, {25, "p"}, {26, "^"},
        {27, "$"}, {28, "Entree"}, {29, "LCtrl"}, {30, "q"}, {38, "l"}, {39, "m"}, {40, "ù"}, {41, "²"},
        {43, "*"}, {44, "w"}, {50, ","}, {51, ";"}, {52, ":"}, {53, "!"}, {57, "espace"}, {58, "Verr.maj"},
        {224, "Num Del"}, {238, "RCtrl"},
    };
    QSet<int> changed;
    for (const auto &f : french) {
        QCOMPARE(keyName(f.code, true), QString::fromUtf8(f.name));
        changed.insert(f.code);
    }
    // Everything else keeps the standard name.
    for (int code = 0; code <= 242; ++code)
        if (!changed.contains(code) && !(code >= 18 && code <= 24) && !(code >= 31 && code <= 37)
            && !(code >= 45 && code <= 49))
            QCOMPARE(keyName(code, true), keyName(code, false));
    QCOMPARE(keyName(13, true), QStringLiteral("="));
    QCOMPARE(keyName(242, true), QStringLiteral("Middle Button"));
    QCOMPARE(keyName(54, true), QStringLiteral("RShift"));
}

void TestKeys::layoutAskedOnEveryCall()
{
    setFrenchLayoutQuery(&countingQuery);
    g_queries = 0;
    g_french = false;
    QCOMPARE(keyName(16), QStringLiteral("Q"));
    g_french = true;
    QCOMPARE(keyName(16), QStringLiteral("a"));
    QCOMPARE(keyName(30), QStringLiteral("q"));
    QCOMPARE(g_queries, 3);
    setFrenchLayoutQuery(&alwaysFrench);
    QCOMPARE(keyName(1), QStringLiteral("Echap"));
    // The usage is the physical key's, whatever the layout.
    int usage = 0;
    QVERIFY(keyToUsage(16, usage));
    QCOMPARE(usage, 0x14);
    setFrenchLayoutQuery(nullptr);
    const bool systemFrench = QLocale::system().language() == QLocale::French;
    QCOMPARE(keyName(16), systemFrench ? QStringLiteral("a") : QStringLiteral("Q"));
}

void TestKeys::tableShape()
{
    const KeyUsagePair *pairs = keyUsagePairs();
    QSet<int> codes, usages;
    for (int i = 0; i < KEY_USAGE_PAIR_COUNT; ++i) {
        QVERIFY2(!codes.contains(pairs[i].code), qPrintable(QString::number(pairs[i].code)));
        QVERIFY2(!usages.contains(pairs[i].usage), qPrintable(QString::number(pairs[i].usage)));
        codes.insert(pairs[i].code);
        usages.insert(pairs[i].usage);
    }
    QCOMPARE(codes.size(), 104);
    // Ascending usage up to the modifiers, which come last in their own order.
    const int modifiers = KEY_USAGE_PAIR_COUNT - 8;
    for (int i = 1; i < modifiers; ++i)
        QVERIFY(pairs[i].usage > pairs[i - 1].usage);
    QVERIFY(pairs[modifiers - 1].usage < 0xE0);
    const char *const order[] = {"LShift", "LCtr", "LWindows", "LAlt", "RAlt", "RWindows", "RCtr", "RShift"};
    const int usagesInOrder[] = {0xE1, 0xE0, 0xE3, 0xE2, 0xE6, 0xE7, 0xE4, 0xE5};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(keyName(pairs[modifiers + i].code, false), QString::fromLatin1(order[i]));
        QCOMPARE(pairs[modifiers + i].usage, usagesInOrder[i]);
    }
}

void TestKeys::tableCoversNamedKeys()
{
    QSet<int> codes;
    for (int i = 0; i < KEY_USAGE_PAIR_COUNT; ++i)
        codes.insert(keyUsagePairs()[i].code);
    for (int code = 0; code < 256; ++code) {
        const bool named = !keyName(code, false).isEmpty();
        const bool mouse = code >= 240 && code <= 242;
        QVERIFY2(codes.contains(code) == (named && !mouse), qPrintable(QString::number(code)));
    }
}

void TestKeys::usagesFollowTheKeyboardPage()
{
    // Letters, digits and function keys follow their names on the keyboard page.
    int usage = -1;
    for (int code = 1; code <= 93; ++code) {
        const QString name = keyName(code, false);
        if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
            QVERIFY(keyToUsage(code, usage));
            QCOMPARE(usage, 0x04 + (name[0].unicode() - 'A'));
        } else if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') {
            QVERIFY(keyToUsage(code, usage));
            QCOMPARE(usage, 0x1E + (name[0].unicode() - '1'));
        } else if (name.size() >= 2 && name[0] == 'F' && name[1].isDigit()) {
            QVERIFY(keyToUsage(code, usage));
            QCOMPARE(usage, 0x3A + name.midRef(1).toInt() - 1);
        }
    }
    const struct { int code, usage; } known[] = {
        {30, 0x04}, {2, 0x1E}, {11, 0x27}, {28, 0x28}, {1, 0x29}, {14, 0x2A}, {15, 0x2B}, {57, 0x2C},
        {12, 0x2D}, {13, 0x2E}, {26, 0x2F}, {27, 0x30}, {43, 0x31}, {39, 0x33}, {40, 0x34}, {41, 0x35},
        {51, 0x36}, {52, 0x37}, {53, 0x38}, {58, 0x39}, {55, 0x46}, {70, 0x47}, {69, 0x48}, {82, 0x49},
        {71, 0x4A}, {73, 0x4B}, {83, 0x4C}, {79, 0x4D}, {81, 0x4E}, {77, 0x4F}, {75, 0x50}, {80, 0x51},
        {72, 0x52}, {225, 0x53}, {226, 0x54}, {227, 0x55}, {74, 0x56}, {78, 0x57}, {229, 0x58},
        {230, 0x59}, {231, 0x5A}, {232, 0x5B}, {233, 0x5C}, {76, 0x5D}, {234, 0x5E}, {235, 0x5F},
        {236, 0x60}, {228, 0x61}, {237, 0x62}, {224, 0x63}, {93, 0x65},
        {29, 0xE0}, {42, 0xE1}, {56, 0xE2}, {91, 0xE3}, {238, 0xE4}, {54, 0xE5}, {239, 0xE6}, {92, 0xE7},
    };
    for (const auto &k : known) {
        QVERIFY(keyToUsage(k.code, usage));
        QVERIFY2(usage == k.usage, qPrintable(keyName(k.code, false)));
    }
}

void TestKeys::roundTrips()
{
    for (int i = 0; i < KEY_USAGE_PAIR_COUNT; ++i) {
        const KeyUsagePair p = keyUsagePairs()[i];
        int usage = -1, code = -1;
        QVERIFY(keyToUsage(p.code, usage));
        QCOMPARE(usage, p.usage);
        QVERIFY(usageToKey(usage, code));
        QCOMPARE(code, p.code);
    }
}

void TestKeys::misses()
{
    int out = 1234;
    for (int code : {0, 84, 240, 241, 242, 243, -1, 100000}) {
        QVERIFY(!keyToUsage(code, out));
        QCOMPARE(out, 1234);
    }
    for (int usage : {0, 1, 2, 3, 0x32, 0x64, 0x66, 0xDF, 0xE8, -4, 0x10004}) {
        QVERIFY(!usageToKey(usage, out));
        QCOMPARE(out, 1234);
    }
}

QTEST_GUILESS_MAIN(TestKeys)
#include "tst_keys.moc"
