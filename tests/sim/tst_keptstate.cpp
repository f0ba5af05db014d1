// What the simulated mouse keeps between runs: written to a file and read
// back (through a copy, so no settings cache of this process answers), and
// refused when the file is damaged.

#include "sim/simmouse.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

// Writes a whole block the way the device link does, on the receiver.
void writeBlock(hid_device *h, quint8 command, const QByteArray &data)
{
    const bool macros = command == 0x05;
    auto send = [h](quint8 cmd, int offset, quint8 segment, const QByteArray &part) {
        unsigned char f[33] = {};
        f[0] = 0x05;
        f[2] = 0xFA;
        f[3] = cmd;
        f[4] = quint8(offset & 0xFF);
        f[5] = quint8(cmd == 0x05 ? offset >> 8 : 0);
        f[6] = quint8(part.size());
        f[7] = segment;
        memcpy(f + 8, part.constData(), size_t(part.size()));
        unsigned sum = 0;
        for (int k = 2; k <= 7; ++k)
            sum += f[k];
        f[1] = quint8((sum & 0xFF) ^ 0x66);
        hid_write(h, f, 33);
    };
    for (int offset = 0; offset < data.size(); offset += 24)
        send(command, offset, offset == 0 ? 0xD1 : 0xD2, data.mid(offset, 24));
    send(command, macros ? 0x0FFF : 0x7F, 0xD3, QByteArray(1, char(0x1A)));
}

} // namespace

class TestKeptState : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_copies = 0;

    QString copyOf(const QString &path)
    {
        const QString copy = m_dir.path() + QStringLiteral("/copy%1.ini").arg(++m_copies);
        return QFile::copy(path, copy) ? copy : QString();
    }

    const sim::Block kBlocks[5] = {sim::Block::Settings, sim::Block::Dpi, sim::Block::Keys, sim::Block::Lighting,
                                   sim::Block::Macros};
    const int kSizes[5] = {19, 41, 128, 80, 4000};

    // Every block written with its own pattern, profile 3 selected, a battery.
    void fillMouse()
    {
        sim::plug(sim::Side::Receiver);
        hid_init();
        hid_device *h = hid_open_path(sim::interfacePath(sim::Side::Receiver, sim::Collection::Control).constData());
        QVERIFY(h);
        for (int b = 0; b < 5; ++b) {
            QByteArray data = pattern(kSizes[b], b + 1);
            if (b == 0)
                data[6] = 3;   // the general block's active profile
            writeBlock(h, quint8(b + 1), data);
        }
        hid_close(h);
        sim::BatteryState battery;
        battery.low = 0x12;
        battery.high = 0x03;
        battery.charge = 1;
        battery.status = 0;
        battery.mode = 8;
        sim::setBattery(battery);
    }

private slots:
    void init() { sim::reset(); }
    void cleanup() { sim::reset(); }

    void whatTheMouseHoldsComesBack()
    {
        fillMouse();
        QByteArray blocks[5];
        for (int b = 0; b < 5; ++b) {
            blocks[b] = sim::block(kBlocks[b]);
            QCOMPARE(blocks[b].size(), kSizes[b]);
        }
        QCOMPARE(blocks[2], pattern(128, 3));
        QCOMPARE(sim::activeProfile(), 3);
        const QString path = m_dir.path() + QStringLiteral("/kept.ini");
        QVERIFY(sim::saveState(path));

        sim::reset();
        sim::plug(sim::Side::Cable);
        QVERIFY(sim::loadState(copyOf(path)));
        for (int b = 0; b < 5; ++b)
            QCOMPARE(sim::block(kBlocks[b]).toHex(), blocks[b].toHex());
        QCOMPARE(sim::activeProfile(), 3);
        const sim::BatteryState battery = sim::battery();
        QCOMPARE(int(battery.low), 0x12);
        QCOMPARE(int(battery.high), 0x03);
        QCOMPARE(int(battery.charge), 1);
        QCOMPARE(int(battery.status), 0);
        QCOMPARE(int(battery.mode), 8);
        // Plugs are not part of what the mouse keeps.
        QVERIFY(sim::isPlugged(sim::Side::Cable));
        QVERIFY(!sim::isPlugged(sim::Side::Receiver));
    }

    void aDamagedFileChangesNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("short block") << QStringLiteral("Blocks/Dpi") << QStringLiteral("0102");
        QTest::newRow("long block") << QStringLiteral("Blocks/Settings") << QString(QStringLiteral("00")).repeated(20);
        QTest::newRow("not hex") << QStringLiteral("Blocks/Keys") << QString(QStringLiteral("zz")).repeated(128);
        QTest::newRow("missing block") << QStringLiteral("Blocks/Macros") << QString();
    }

    void aDamagedFileChangesNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        fillMouse();
        const QString path = m_dir.path() + QStringLiteral("/damaged-%1.ini").arg(QTest::currentDataTag()).replace(' ', '-');
        QVERIFY(sim::saveState(path));
        const QString damaged = copyOf(path);
        {
            QSettings file(damaged, QSettings::IniFormat);
            if (value.isEmpty())
                file.remove(key);
            else
                file.setValue(key, value);
        }
        const QString copy = copyOf(damaged);
        const QByteArray dpi = sim::block(sim::Block::Dpi);
        sim::clearMemory();
        QVERIFY(!sim::loadState(copy));
        QCOMPARE(sim::block(sim::Block::Dpi), QByteArray(41, '\0'));
        QCOMPARE(sim::activeProfile(), 0);
        QVERIFY(dpi != QByteArray(41, '\0'));
        QVERIFY(!sim::loadState(m_dir.path() + QStringLiteral("/none.ini")));
    }

    void factoryNewMemoryIsBlank()
    {
        fillMouse();
        const sim::BatteryState battery = sim::battery();
        sim::clearMemory();
        for (int b = 0; b < 5; ++b)
            QCOMPARE(sim::block(kBlocks[b]), QByteArray(kSizes[b], '\0'));
        QCOMPARE(sim::activeProfile(), 0);
        QCOMPARE(int(sim::battery().low), int(battery.low));
        QVERIFY(sim::isPlugged(sim::Side::Receiver));
    }
};

QTEST_GUILESS_MAIN(TestKeptState)
#include "tst_keptstate.moc"
