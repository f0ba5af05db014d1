// The keyboard as the capture dialogs and the recorder see it: native key
// events turned into set-1 scan codes and flags, hook order and swallowing.
#include "platform/keyboardhook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <QtTest>

#include <vector>

using platform::KeyboardHook;
using platform::KeyHookEvent;

namespace {

class CountingWindow : public QWindow {
public:
    int keys = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
            ++keys;
        return QWindow::event(e);
    }
};

void sendNative(QWindow *window, quint32 evdev, bool release, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent event(release ? QEvent::KeyRelease : QEvent::KeyPress, 0, mods, evdev + 8, 0, 0);
    QCoreApplication::sendEvent(window, &event);
}

} // namespace

class TestKeyboardHook : public QObject {
    Q_OBJECT
private slots:
    void nativeToHook_data();
    void nativeToHook();
    void unknownKeysAreNotReported();
    void altFlagFollowsTheAltKeys();
    void newestHookFirstAndSwallowStopsDelivery();
    void hookEndsWithItsObject();
};

void TestKeyboardHook::nativeToHook_data()
{
    QTest::addColumn<uint>("evdev");
    QTest::addColumn<bool>("release");
    QTest::addColumn<uint>("scan");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<uint>("vk");
    QTest::newRow("keypad 7") << 71u << false << 0x47u << 0x00u << 0u;
    QTest::newRow("Home") << 102u << false << 0x47u << 0x01u << 0u;
    QTest::newRow("Home up") << 102u << true << 0x47u << 0x81u << 0u;
    QTest::newRow("left Ctrl") << 29u << false << 0x1Du << 0x00u << 0xA2u;
    QTest::newRow("right Ctrl") << 97u << false << 0x1Du << 0x01u << 0xA3u;
    QTest::newRow("right Ctrl up") << 97u << true << 0x1Du << 0x81u << 0xA3u;
    QTest::newRow("keypad Enter") << 96u << false << 0x1Cu << 0x01u << 0u;
    QTest::newRow("keypad /") << 98u << false << 0x35u << 0x01u << 0u;
    QTest::newRow("keypad *") << 55u << false << 0x37u << 0x00u << 0u;
    QTest::newRow("Print Screen") << 99u << false << 0x37u << 0x01u << 0u;
    QTest::newRow("Num Lock") << 69u << false << 0x45u << 0x01u << 0u;
    QTest::newRow("Pause") << 119u << false << 0x45u << 0x00u << 0u;
    QTest::newRow("Delete") << 111u << false << 0x53u << 0x01u << 0u;
    QTest::newRow("keypad .") << 83u << false << 0x53u << 0x00u << 0u;
    QTest::newRow("F11") << 87u << false << 0x57u << 0x00u << 0u;
    QTest::newRow("F12") << 88u << false << 0x58u << 0x00u << 0u;
    QTest::newRow("left Windows") << 125u << false << 0x5Bu << 0x01u << 0x5Bu;
    QTest::newRow("right Shift") << 54u << true << 0x36u << 0x80u << 0xA1u;
}

void TestKeyboardHook::nativeToHook()
{
    QFETCH(uint, evdev);
    QFETCH(bool, release);
    KeyHookEvent event;
    QVERIFY(platform::hookEventFromNative(evdev + 8, release, false, &event));
    QTEST(uint(event.scanCode), "scan");
    QTEST(uint(event.flags), "flags");
    QTEST(uint(event.virtualKey), "vk");
}

void TestKeyboardHook::unknownKeysAreNotReported()
{
    KeyHookEvent event;
    QVERIFY(!platform::hookEventFromNative(0, false, false, &event));   // offscreen and synthetic keys
    QVERIFY(!platform::hookEventFromNative(84 + 8, false, false, &event));
    QVERIFY(!platform::hookEventFromNative(183 + 8, false, false, &event));   // F13
}

void TestKeyboardHook::altFlagFollowsTheAltKeys()
{
    CountingWindow window;
    std::vector<KeyHookEvent> seen;
    KeyboardHook hook([&](const KeyHookEvent &e) {
        seen.push_back(e);
        return false;
    });
    sendNative(&window, 56, false);   // left Alt down
    sendNative(&window, 15, false);   // Tab
    sendNative(&window, 15, true);
    sendNative(&window, 56, true);    // left Alt up
    sendNative(&window, 100, false);  // right Alt down
    sendNative(&window, 100, true);
    QCOMPARE(int(seen.size()), 6);
    QCOMPARE(seen[0].flags, 0x20u);
    QCOMPARE(seen[1].flags, 0x20u);
    QCOMPARE(seen[2].flags, 0xA0u);
    QCOMPARE(seen[3].flags, 0x80u);
    QCOMPARE(seen[4].flags, 0x21u);
    QCOMPARE(seen[4].virtualKey, 0xA5u);
    QCOMPARE(seen[5].flags, 0x81u);
    QCOMPARE(window.keys, 6);   // nothing swallowed, everything delivered once
}

void TestKeyboardHook::newestHookFirstAndSwallowStopsDelivery()
{
    CountingWindow window;
    QStringList order;
    KeyboardHook older([&](const KeyHookEvent &) {
        order << QStringLiteral("older");
        return false;
    });
    {
        KeyboardHook newer([&](const KeyHookEvent &) {
            order << QStringLiteral("newer");
            return true;
        });
        sendNative(&window, 30, false);
        QCOMPARE(order, QStringList{QStringLiteral("newer")});
        QCOMPARE(window.keys, 0);
        QVERIFY(KeyboardHook::inject(30, 0x80));
    }
    order.clear();
    QVERIFY(!KeyboardHook::inject(30, 0));
    sendNative(&window, 30, true);
    QCOMPARE(order, (QStringList{QStringLiteral("older"), QStringLiteral("older")}));
    QCOMPARE(window.keys, 1);
}

void TestKeyboardHook::hookEndsWithItsObject()
{
    CountingWindow window;
    int calls = 0;
    {
        KeyboardHook hook([&](const KeyHookEvent &) {
            ++calls;
            return true;
        });
        QCOMPARE(KeyboardHook::installedCount(), 1);
    }
    QCOMPARE(KeyboardHook::installedCount(), 0);
    sendNative(&window, 30, false);
    QVERIFY(!KeyboardHook::inject(30, 0));
    QCOMPARE(calls, 0);
    QCOMPARE(window.keys, 1);
}

QTEST_MAIN(TestKeyboardHook)
#include "tst_keyboardhook.moc"
