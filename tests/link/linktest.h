#pragma once
// Shared helpers of the command set, download, poller and pointer speed
// suites: device facts written into a temporary DefaultProfile.bin and
// Config.ini, byte strings written out by hand, and expected wire frames.

#include "device/transport.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "tests/sim/simtest.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>
#include <array>
#include <initializer_list>

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

template <std::size_t N>
QByteArray bytes(const std::array<quint8, N> &a)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(N));
}

inline void writeIniKeys(const QString &path, const QVariantMap &values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings s(path, QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(it.key(), it.value());
    s.sync();
}

// The device description in the application directory: button count and
// stage count (stored masked, as shipped files have them), the Sync and
// ScrollRev switches and the button matrix; the matrix is loaded as the
// profile load would.
struct DeviceFacts {
    int buttons = 0;
    int stages = 0;
    int sync = 0;
    int scrollRev = 0;
    QVector<int> matrix;
};

inline void writeDeviceFacts(const DeviceFacts &facts)
{
    const int mask = 0x35;
    QVariantMap keys;
    keys[QStringLiteral("PROFILE/ProductName")] = QStringLiteral("VELKOR");
    keys[QStringLiteral("PROFILE/MouseDpi")] = mask;
    keys[QStringLiteral("PROFILE/ButtonCount")] = facts.buttons ^ mask;
    keys[QStringLiteral("PROFILE/DPICount")] = facts.buttons ^ facts.stages;
    keys[QStringLiteral("PROFILE/Sync")] = facts.sync;
    keys[QStringLiteral("PROFILE/ScrollRev")] = facts.scrollRev;
    for (int i = 0; i < 16; ++i)
        keys[QStringLiteral("PROFILE/BUTTON_INFO_%1_Matrix").arg(i)] = facts.matrix.value(i, 255);
    writeIniKeys(descriptionPath(), keys);
    readButtonMatrix(buttonMatrix().data());
}

inline void writeSensor(int code)
{
    writeIniKeys(globalConfigPath(), {{QStringLiteral("MouseSenSor/1"), code}});
}

// A wire frame written out: report id 5, checksum over bytes 2..7, 0xFA,
// command, both arguments, length, segment and the data, zero to 33 bytes.
inline QByteArray wireFrame(int command, int arg1, int arg2, int segment, const QByteArray &data = QByteArray())
{
    QByteArray f(33, '\0');
    f[0] = 0x05;
    f[2] = char(0xFA);
    f[3] = char(command);
    f[4] = char(arg1);
    f[5] = char(arg2);
    f[6] = char(data.size());
    f[7] = char(segment);
    for (int i = 0; i < data.size(); ++i)
        f[8 + i] = data[i];
    int sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += quint8(f[k]);
    f[1] = char((sum & 0xFF) ^ 0x66);
    return f;
}

inline QByteArray frameWire(const CommandFrame &f)
{
    QByteArray w(reinterpret_cast<const char *>(f.buf + 1), 33);
    int sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += quint8(w[k]);
    w[1] = char((sum & 0xFF) ^ 0x66);   // as the transport seals it
    return w;
}

// "cmd:arg1:arg2:len:seg" of a wire frame, for readable sequence checks.
inline QString frameHeader(const QByteArray &w)
{
    return QString::asprintf("%02x:%02x:%02x:%02x:%02x", quint8(w[3]), quint8(w[4]), quint8(w[5]),
                             quint8(w[6]), quint8(w[7]));
}

inline QStringList headers(const QVector<QByteArray> &frames)
{
    QStringList list;
    for (const QByteArray &f : frames)
        list.append(frameHeader(f));
    return list;
}
