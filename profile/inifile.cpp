#include "inifile.h"
#include "profile/logging.h"
#include "records.h"
#include "slotcache.h"

#include <QColor>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <mutex>

namespace {

// A full configuration export is about 1 MB.
constexpr qint64 kMaxIniFileSize = 4 * 1024 * 1024;

// QColor as QSettings stores it: the variant's type (QMetaType::QColor, 67),
// then spec, alpha, red, green, blue and padding (QDataStream, Qt 4.0 format).
constexpr int kColourVariantSize = 15;

bool isColourKey(const QString &key)
{
    return key.endsWith(QLatin1String("RGB"));
}

// ---- reading -----------------------------------------------------------------

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Key or section name: '\' and '/' separate groups, %XX and %UXXXX are characters.
// Runs of '/' become one; a '/' at either end goes.
QString normalizedKey(const QString &key)
{
    QString out;
    out.reserve(key.size());
    for (const QChar c : key) {
        if (c == QLatin1Char('/')) {
            if (!out.isEmpty() && !out.endsWith(QLatin1Char('/')))
                out += c;
        } else {
            out += c;
        }
    }
    if (out.endsWith(QLatin1Char('/')))
        out.chop(1);
    return out;
}

QString unescapeKey(const QByteArray &raw)
{
    QString key;
    key.reserve(raw.size());
    int i = 0;
    const int n = raw.size();
    while (i < n) {
        const char c = raw.at(i);
        if (c == '\\' || c == '/') {
            key += QLatin1Char('/');
            ++i;
        } else if (c == '%' && i + 2 < n && hexValue(raw.at(i + 1)) >= 0 && hexValue(raw.at(i + 2)) >= 0) {
            key += QChar(hexValue(raw.at(i + 1)) * 16 + hexValue(raw.at(i + 2)));
            i += 3;
        } else if (c == '%' && i + 5 < n && raw.at(i + 1) == 'U' && hexValue(raw.at(i + 2)) >= 0
                   && hexValue(raw.at(i + 3)) >= 0 && hexValue(raw.at(i + 4)) >= 0 && hexValue(raw.at(i + 5)) >= 0) {
            int v = 0;
            for (int k = 2; k <= 5; ++k)
                v = v * 16 + hexValue(raw.at(i + k));
            key += QChar(v);
            i += 6;
        } else {
            // A run of plain bytes, read as UTF-8.
            int j = i + 1;
            while (j < n && raw.at(j) != '\\' && raw.at(j) != '/' && raw.at(j) != '%')
                ++j;
            key += QString::fromUtf8(raw.constData() + i, j - i);
            i = j;
        }
    }
    return key;
}

// A value: quotes, C escapes, \x escapes of UTF-16 units, octal escapes,
// commas separating list items outside quotes.
QStringList unescapeValue(const QByteArray &raw, bool *isList)
{
    QStringList items;
    QString current;
    bool inQuotes = false;
    bool quotedItem = false;
    int i = 0;
    const int n = raw.size();
    auto finishItem = [&] {
        if (!quotedItem) {
            int end = current.size();
            while (end > 0 && current.at(end - 1) == QLatin1Char(' '))
                --end;
            current.truncate(end);
        }
        items.append(current);
        current.clear();
        quotedItem = false;
    };
    while (i < n && (raw.at(i) == ' ' || raw.at(i) == '\t'))
        ++i;
    while (i < n) {
        const char c = raw.at(i);
        if (c == '"') {
            inQuotes = !inQuotes;
            quotedItem = true;
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= n)
                break;
            const char e = raw.at(i++);
            switch (e) {
            case 'a': current += QLatin1Char('\a'); break;
            case 'b': current += QLatin1Char('\b'); break;
            case 'f': current += QLatin1Char('\f'); break;
            case 'n': current += QLatin1Char('\n'); break;
            case 'r': current += QLatin1Char('\r'); break;
            case 't': current += QLatin1Char('\t'); break;
            case 'v': current += QLatin1Char('\v'); break;
            case 'x': {
                quint32 v = 0;
                while (i < n && hexValue(raw.at(i)) >= 0) {
                    v = ((v << 4) | quint32(hexValue(raw.at(i)))) & 0xFFFFFFu;
                    ++i;
                }
                current += QChar(ushort(v & 0xFFFF));
                break;
            }
            case '\n':
            case '\r':
                // A line continued: \r\n and \n\r count as one break.
                if (i < n && (raw.at(i) == '\n' || raw.at(i) == '\r') && raw.at(i) != e)
                    ++i;
                break;
            default:
                if (e >= '0' && e <= '7') {
                    quint32 v = quint32(e - '0');
                    while (i < n && raw.at(i) >= '0' && raw.at(i) <= '7') {
                        v = ((v << 3) | quint32(raw.at(i) - '0')) & 0xFFFFFFu;
                        ++i;
                    }
                    current += QChar(ushort(v & 0xFFFF));
                } else {
                    current += QChar(ushort(uchar(e)));   // \" \' \? \\ and unknown escapes
                }
                break;
            }
        } else if (c == ',' && !inQuotes) {
            finishItem();
            ++i;
            while (i < n && (raw.at(i) == ' ' || raw.at(i) == '\t'))
                ++i;
        } else {
            int j = i + 1;
            while (j < n && raw.at(j) != '"' && raw.at(j) != '\\' && (inQuotes || raw.at(j) != ','))
                ++j;
            current += QString::fromUtf8(raw.constData() + i, j - i);
            i = j;
        }
    }
    finishItem();
    *isList = items.size() > 1;
    return items;
}

// The colour of a colour key's "@Variant(...)" payload; invalid for anything
// that is not exactly a stored colour.
QVariant decodeColour(const QString &payload)
{
    if (payload.size() != kColourVariantSize)
        return QVariant();
    QByteArray bytes(kColourVariantSize, '\0');
    for (int i = 0; i < kColourVariantSize; ++i) {
        const ushort u = payload.at(i).unicode();
        if (u > 0xFF)
            return QVariant();
        bytes[i] = char(u);
    }
    if (bytes.left(4) != QByteArray("\0\0\0\x43", 4))
        return QVariant();
    // The spec byte must name one of QColor's integer specs: QDataStream
    // stores any other byte in the colour as it is, and every later use of
    // the colour would read an enum value that does not exist (an extended
    // colour's components are half floats, which a file may make NaN).
    const qint8 spec = qint8(bytes.at(4));
    if (spec < qint8(QColor::Invalid) || spec > qint8(QColor::Hsl))
        return QVariant();
    QDataStream stream(bytes.mid(4));
    stream.setVersion(QDataStream::Qt_4_0);
    QColor colour;
    stream >> colour;
    if (stream.status() != QDataStream::Ok)
        return QVariant();
    return QVariant::fromValue(colour);
}

QVariant valueFor(const QString &key, const QByteArray &raw)
{
    // Most values are plain: no quotes, escapes, commas or '@'.
    bool plain = raw.isEmpty() || raw.at(0) != '@';
    for (int i = 0; plain && i < raw.size(); ++i) {
        const char c = raw.at(i);
        plain = c != '"' && c != '\\' && c != ',';
    }
    if (plain)
        return QString::fromUtf8(raw.constData(), raw.size());   // (NUL bytes included)
    bool isList = false;
    QStringList items = unescapeValue(raw, &isList);
    if (isList) {
        for (QString &item : items)
            if (item.startsWith(QLatin1String("@@")))
                item.remove(0, 1);
        return items;
    }
    const QString text = items.value(0);
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (text == QLatin1String("@Invalid()"))
        return QVariant();
    if (text.startsWith(QLatin1String("@Variant(")) && text.endsWith(QLatin1Char(')'))) {
        if (isColourKey(key))
            return decodeColour(text.mid(9, text.size() - 10));
        qCDebug(lcProfile, "Value of %s is not plain text; read as text", qPrintable(key));
        return text;
    }
    if (text.startsWith(QLatin1String("@ByteArray(")) && text.endsWith(QLatin1Char(')')))
        return text.mid(11, text.size() - 12);
    if (text.startsWith(QLatin1String("@String(")) && text.endsWith(QLatin1Char(')')))
        return text.mid(8, text.size() - 9);
    return text;
}

QByteArray trimmed(const char *begin, const char *end)
{
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    return QByteArray(begin, int(end - begin));
}

// ---- writing -----------------------------------------------------------------

const char kHex[] = "0123456789abcdef";

void appendHex(QByteArray &out, uint value)
{
    char digits[8];
    int n = 0;
    do {
        digits[n++] = kHex[value % 16];
        value /= 16;
    } while (value);
    while (n)
        out += digits[--n];
}

void escapeKey(const QString &key, QByteArray &out)
{
    for (const QChar qc : key) {
        const ushort c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                   || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHex[c / 16];
            out += kHex[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
        }
    }
}

bool isHexDigit(ushort c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void escapeText(const QString &text, QByteArray &out)
{
    // Plain printable ASCII without quotes, separators or edge spaces is
    // written as it is.
    bool plain = !text.isEmpty() && text.at(0) != QLatin1Char(' ') && text.at(text.size() - 1) != QLatin1Char(' ');
    for (int i = 0; plain && i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        plain = c >= 0x20 && c < 0x7F && c != ';' && c != ',' && c != '=' && c != '"' && c != '\\';
    }
    if (plain) {
        out += text.toLatin1();
        return;
    }
    QByteArray body;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar qc : text) {
        const ushort c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(c)) {
            body += "\\x";
            appendHex(body, c);
            continue;
        }
        escapeNextIfDigit = false;
        switch (c) {
        case 0: body += "\\0"; escapeNextIfDigit = true; break;
        case '\a': body += "\\a"; break;
        case '\b': body += "\\b"; break;
        case '\f': body += "\\f"; break;
        case '\n': body += "\\n"; break;
        case '\r': body += "\\r"; break;
        case '\t': body += "\\t"; break;
        case '\v': body += "\\v"; break;
        case '"':
        case '\\':
            body += '\\';
            body += char(c);
            break;
        default:
            if (c <= 0x1F || c >= 0x7F) {
                body += "\\x";
                appendHex(body, c);
                escapeNextIfDigit = true;
            } else {
                body += char(c);
            }
        }
    }
    if (needsQuotes || body.startsWith(' ') || body.endsWith(' ')) {
        out += '"';
        out += body;
        out += '"';
    } else {
        out += body;
    }
}

void writeValue(const QVariant &value, QByteArray &out)
{
    if (!value.isValid()) {
        out += "@Invalid()";
        return;
    }
    switch (int(value.type())) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        out += QByteArray::number(value.toLongLong());
        return;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        out += QByteArray::number(value.toULongLong());
        return;
    case QMetaType::QColor: {
        QByteArray bytes;
        {
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            stream.setVersion(QDataStream::Qt_4_0);
            stream << value;
        }
        escapeText(QStringLiteral("@Variant(") + QString::fromLatin1(bytes.constData(), bytes.size()) + QLatin1Char(')'), out);
        return;
    }
    case QMetaType::QStringList: {
        const QStringList items = value.toStringList();
        if (items.isEmpty()) {
            out += "@Invalid()";
            return;
        }
        for (int i = 0; i < items.size(); ++i) {
            if (i)
                out += ", ";
            escapeText(items[i].startsWith(QLatin1Char('@')) ? QLatin1Char('@') + items[i] : items[i], out);
        }
        return;
    }
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Long:
        out += QByteArray::number(value.toLongLong());
        return;
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::ULong:
        out += QByteArray::number(value.toULongLong());
        return;
    case QMetaType::QByteArray:
        escapeText(QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray().constData(), value.toByteArray().size()) + QLatin1Char(')'), out);
        return;
    default: {
        const QString text = value.toString();
        escapeText(text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text, out);
    }
    }
}

} // namespace

void appendIniKey(const QString &key, QByteArray &out)
{
    escapeKey(key, out);
}

void appendIniValue(const QVariant &value, QByteArray &out)
{
    writeValue(value, out);
}

bool parseIniText(const QByteArray &data, QSettings::SettingsMap &map)
{
    if (data.size() > kMaxIniFileSize)
        return false;
    QString section;
    QByteArray sectionPrefix;   // section + '/' as UTF-8, empty for [General]
    const char *p = data.constData();
    const char *const end = p + data.size();
    // A UTF-8 byte-order mark (Windows editors save one) is not part of the
    // first line: without this the first section's header would not be seen.
    if (data.startsWith("\xEF\xBB\xBF"))
        p += 3;
    while (p < end) {
        // Blank lines and leading white space.
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
            ++p;
        if (p >= end)
            break;
        if (*p == ';') {   // comment line
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
            continue;
        }
        if (*p == '[') {
            const char *close = p + 1;
            while (close < end && *close != ']' && *close != '\n' && *close != '\r')
                ++close;
            const QByteArray raw = trimmed(p + 1, close);
            if (raw.size() == 8 && raw.startsWith('%') && raw.mid(1).compare("General", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(raw.mid(1));   // a group really named General
            else if (raw.compare("General", Qt::CaseInsensitive) == 0)
                section.clear();
            else
                section = unescapeKey(raw);
            // Keys without escapes are joined to the section as bytes; a
            // section holding '\\' or '/' is a group path as well.
            sectionPrefix = section.isEmpty() ? QByteArray() : section.toUtf8() + '/';
            p = close;
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
            continue;
        }
        // key = value up to the end of the line: quotes and a backslash before
        // a line break carry it on; a ';' outside quotes starts a comment.
        const char *lineStart = p;
        const char *equals = nullptr;
        bool inQuotes = false;
        while (p < end) {
            const char c = *p;
            if (c == '\\') {
                p += (p + 1 < end) ? 2 : 1;
                continue;
            }
            if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == '=' && !inQuotes && !equals) {
                equals = p;
            } else if ((c == '\n' || c == '\r') && !inQuotes) {
                break;
            } else if (c == ';' && !inQuotes) {
                break;
            }
            ++p;
        }
        const char *lineEnd = p;
        if (p < end && *p == ';') {
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
        }
        if (!equals)
            continue;
        const QByteArray rawKey = trimmed(lineStart, equals);
        if (rawKey.isEmpty())
            continue;
        QString key;
        if (!rawKey.contains('%')) {
            QByteArray path = sectionPrefix;
            path += rawKey;
            path.replace('\\', '/');
            key = QString::fromUtf8(path.constData(), path.size());
        } else {
            key = unescapeKey(rawKey);
            if (key.isEmpty())
                continue;
            if (!section.isEmpty())
                key = section + QLatin1Char('/') + key;
        }
        // As QSettings has keys: no empty groups, no '/' at either end.
        if (key.startsWith(QLatin1Char('/')) || key.endsWith(QLatin1Char('/')) || key.contains(QLatin1String("//")))
            key = normalizedKey(key);
        if (key.isEmpty())
            continue;
        map.insert(key, valueFor(key, trimmed(equals + 1, lineEnd)));
    }
    return true;
}

QByteArray formatIniText(const QSettings::SettingsMap &map)
{
    // Keys without a group go to [General]; each first group to its section.
    QByteArray out;
    QString current;
    bool first = true;
    bool generalDone = false;
    auto writeSection = [&](const QString &name) {
        if (!first)
            out += '\n';
        first = false;
        out += '[';
        if (name.isEmpty())
            out += "General";
        else if (name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
            out += '%' + name.toLatin1();
        else
            escapeKey(name, out);
        out += "]\n";
    };
    // A key with nothing after its section cannot be written (nor read).
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.key().contains(QLatin1Char('/')) || it.key().isEmpty())
            continue;
        if (!generalDone) {
            writeSection(QString());
            generalDone = true;
        }
        escapeKey(it.key(), out);
        out += '=';
        writeValue(it.value(), out);
        out += '\n';
    }
    bool inSection = false;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        if (slash <= 0 || slash == it.key().size() - 1)
            continue;
        const QString section = it.key().left(slash);
        if (!inSection || section != current) {
            writeSection(section);
            current = section;
            inSection = true;
        }
        escapeKey(it.key().mid(slash + 1), out);
        out += '=';
        writeValue(it.value(), out);
        out += '\n';
    }
    return out;
}

bool readIniDevice(QIODevice &device, QSettings::SettingsMap &map)
{
    // Read by the file's size where it is known: asking for the limit would
    // set aside the whole limit for every small file.
    const qint64 known = device.isSequential() ? -1 : device.size() - device.pos();
    const qint64 first = known >= 0 && known < kMaxIniFileSize ? known + 1 : kMaxIniFileSize + 1;
    QByteArray data = device.read(first);
    if (data.size() == first && first <= kMaxIniFileSize)   // it grew meanwhile
        data += device.read(kMaxIniFileSize + 1 - first);
    if (data.size() > kMaxIniFileSize) {
        qCDebug(lcProfile, "INI file larger than %lld bytes: not read", static_cast<long long>(kMaxIniFileSize));
        return false;
    }
    return parseIniText(data, map);
}

bool writeIniDevice(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray text = formatIniText(map);
    return device.write(text) == text.size();
}

IniFile::IniFile(const QString &path)
    : QSettings(path, format())
{
}

QSettings::Format IniFile::format()
{
    static const QSettings::Format registered = QSettings::registerFormat(
        QStringLiteral("ini"), &readIniDevice, &writeIniDevice, Qt::CaseSensitive);
    return registered;
}

QSettings::SettingsMap cachedIniKeys(const QString &path)
{
    struct Entry {
        SlotFileStamp stamp;
        QSettings::SettingsMap keys;
    };
    static std::mutex mutex;
    static QHash<QString, Entry> files;

    const SlotFileStamp stamp = stampSlotFile(path);
    std::lock_guard<std::mutex> lock(mutex);
    auto it = files.find(path);
    if (it == files.end() || it->stamp != stamp) {
        if (files.size() > 16)
            files.clear();
        Entry entry;
        entry.stamp = stamp;
        QFile file(path);
        if (stamp.valid && stamp.size <= kMaxIniFileSize && file.open(QIODevice::ReadOnly)
            && !readIniDevice(file, entry.keys))
            entry.keys.clear();   // as QSettings has a file it cannot read: no keys
        it = files.insert(path, entry);
    }
    return it->keys;
}

QVariant cachedIniValue(const QString &path, const QString &key)
{
    return cachedIniKeys(path).value(key);
}

qint64 maxIniFileSize()
{
    return kMaxIniFileSize;
}

bool iniFileTooLarge(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.size() > kMaxIniFileSize;
}

qint64 variantInt(const QVariant &value, qint64 fallback)
{
    if (!value.isValid())
        return fallback;
    QString text;
    if (value.type() == QVariant::StringList) {
        // "1,2" is read back as a list: not a number.
        const QStringList parts = value.toStringList();
        if (parts.size() != 1)
            return 0;
        text = parts.front();
    } else {
        text = value.toString();
    }
    text = text.trimmed();
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    if (ok)
        return v;
    const qulonglong u = text.toULongLong(&ok, 10);
    if (ok)
        return static_cast<qint64>(u & 0x7FFFFFFFFFFFFFFFull) | (u > 0x7FFFFFFFFFFFFFFFull ? INT64_MIN : 0);
    return 0;
}

qint64 iniInt(const QSettings &settings, const QString &key, qint64 fallback)
{
    return variantInt(settings.value(key), fallback);
}

bool ensureParentDir(const QString &filePath)
{
    const QFileInfo info(filePath);
    return QDir().mkpath(info.absolutePath());
}

void readDeviceWideKeys(const QSettings &settings, ProfileSet &set)
{
    const auto byte = [&](const char *name) {
        return lowU8(iniInt(settings, QStringLiteral("Config/") + QLatin1String(name)));
    };
    set.ProfileID = byte("ProfileID");
    if (set.ProfileID >= SLOT_COUNT) {
        qCDebug(lcProfile, "Active slot %d out of range, using 0", set.ProfileID);
        set.ProfileID = 0;
    }
    set.AngleValue = byte("AngleValue");
    set.LiftHigh = byte("LiftHigh");
    set.Sync = byte("Sync");
    set.Jitter = byte("Jitter");
    set.Debounce = byte("Debounce");
    set.Count = byte("Count");
    for (int i = 0; i < SLOT_COUNT; ++i)
        set.names[i] = settings.value(QStringLiteral("Config/Profile%1").arg(i + 1)).toString();
}
