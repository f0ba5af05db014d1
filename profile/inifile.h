#pragma once
// Internal helpers shared by the readers and writers of the profile store.
// Every INI file of the program is opened through IniFile, so the codec is the
// same everywhere (names such as "简体中文" survive a round trip).

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QtGlobal>

class IniFile : public QSettings
{
public:
    explicit IniFile(const QString &path);
};

// Integer value of a key: decimal text, read as a 64-bit integer (values up to
// 2^64-1 keep their low bits); text that is not an integer reads as 0, a
// missing key as `fallback`.
qint64 iniInt(const QSettings &settings, const QString &key, qint64 fallback = 0);

struct ProfileSet;
// Config/ProfileID (an active slot beyond 4 reads as 0), the device-wide
// options and Config/Profile1..5, as Config.ini and a .conf hold them.
void readDeviceWideKeys(const QSettings &settings, ProfileSet &set);
qint64 variantInt(const QVariant &value, qint64 fallback = 0);

// Narrowing to a field's width keeps the low bits, as the device bytes do.
inline quint8 lowU8(qint64 v) { return static_cast<quint8>(static_cast<quint64>(v) & 0xFFu); }
inline quint32 lowU32(qint64 v) { return static_cast<quint32>(static_cast<quint64>(v) & 0xFFFFFFFFu); }
inline qint32 lowI32(qint64 v)
{
    const quint32 u = lowU32(v);
    return u <= 0x7FFFFFFFu ? static_cast<qint32>(u) : -static_cast<qint32>(~u) - 1;
}

// Creates the folder a file is about to be written into.
bool ensureParentDir(const QString &filePath);
