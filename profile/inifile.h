#pragma once
// Internal helpers shared by the readers and writers of the profile store.
//
// Every INI file of the program is opened through IniFile. It keeps QSettings'
// file handling (a temporary file renamed over the old one, the lock file, the
// cache) but reads and writes the text itself:
//   - Reading never hands a value to QDataStream: only a colour key (a key
//     whose last part ends in "RGB") may hold "@Variant(...)", and only the
//     15 bytes of a colour; every other value is text. A file larger than
//     maxIniFileSize() is not read at all (it reads as empty).
//   - Text is written as QSettings writes it without a codec: ASCII as is,
//     every other character as \x escapes of its UTF-16 units, so characters
//     outside the Basic Multilingual Plane survive and every INI reader (with
//     or without a codec) reads the same text. Unescaped bytes are read as
//     UTF-8, so files written with the UTF-8 codec read as before.

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QtGlobal>

class QIODevice;

class IniFile : public QSettings
{
public:
    explicit IniFile(const QString &path);
    static QSettings::Format format();
};

// A value of an INI file as IniFile reads it, from the file's keys read once
// and again whenever the file changes (its size, times or inode): for files
// asked for one key again and again (the device description, the product of
// Config.ini). One stat per call, no QSettings set up.
QVariant cachedIniValue(const QString &path, const QString &key);
// All keys of the file, read the same way.
QSettings::SettingsMap cachedIniKeys(const QString &path);

// Files above this size are refused by every reader and by the imports.
qint64 maxIniFileSize();
// True when the file exists and is larger than maxIniFileSize().
bool iniFileTooLarge(const QString &path);

// The parser and the writer behind IniFile (also used by the fuzz targets).
bool readIniDevice(QIODevice &device, QSettings::SettingsMap &map);
bool writeIniDevice(QIODevice &device, const QSettings::SettingsMap &map);
// Parses INI text; false when it is larger than maxIniFileSize().
bool parseIniText(const QByteArray &text, QSettings::SettingsMap &map);
QByteArray formatIniText(const QSettings::SettingsMap &map);
// A key within its section ('/' as '\\', other characters escaped) and a
// value, as formatIniText writes them.
void appendIniKey(const QString &key, QByteArray &out);
void appendIniValue(const QVariant &value, QByteArray &out);

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
