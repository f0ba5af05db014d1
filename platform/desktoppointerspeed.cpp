#include "platform/desktoppointerspeed.h"

#include "platform/logging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVector>
#include <QtDebug>

#include <algorithm>

namespace platform {

namespace {

int clampSpeed(int speed)
{
    return std::clamp(speed, int(POINTER_SPEED_MIN), int(POINTER_SPEED_MAX));
}

// ------------------------------------------------------------------ GNOME --

const char kGnomeSchema[] = "org.gnome.desktop.peripherals.mouse";
const char kGnomeKey[] = "speed";

// Runs gsettings and hands back what it printed; false (and a trace line)
// when it could not be run or failed.
bool runGsettings(const QString &program, const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(3000)) {
        qCDebug(lcPlatform, "%s cannot be started: %s", qPrintable(program), qPrintable(process.errorString()));
        return false;
    }
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        qCDebug(lcPlatform, "%s %s did not finish", qPrintable(program), qPrintable(arguments.join(QLatin1Char(' '))));
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qCDebug(lcPlatform, "%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(QLatin1Char(' '))),
                process.readAllStandardError().trimmed().constData());
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// ------------------------------------------------------------------- KWin --

const char kKwinService[] = "org.kde.KWin";
const char kKwinDevices[] = "/org/kde/KWin/InputDevice";
const char kKwinManagerInterface[] = "org.kde.KWin.InputDeviceManager";
const char kKwinDeviceInterface[] = "org.kde.KWin.InputDevice";
const char kProperties[] = "org.freedesktop.DBus.Properties";
// KWin answers at once; a compositor that hangs must not hang the window.
const int kBusTimeoutMs = 2000;

struct KwinPointer {
    QString sysName;
    quint32 vendor = 0;
    quint32 product = 0;
    QString name;
    double acceleration = 0;
};

QDBusConnection busNamed(const QString &connectionName)
{
    return connectionName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(connectionName);
}

QDBusMessage propertiesCall(const QString &path, const char *method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kKwinService), path, QLatin1String(kProperties), QLatin1String(method));
    call.setArguments(arguments);
    return call;
}

bool answered(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

// KWin's pointer devices, with what kcminputrc names them by; false when KWin
// cannot be asked.
bool kwinPointers(const QDBusConnection &bus, QVector<KwinPointer> *pointers)
{
    if (!bus.isConnected()) {
        qCDebug(lcPlatform, "KWin's input devices: no session bus");
        return false;
    }
    const QDBusMessage listed = bus.call(
        propertiesCall(QLatin1String(kKwinDevices), "Get",
                       {QLatin1String(kKwinManagerInterface), QStringLiteral("devicesSysNames")}),
        QDBus::Block, kBusTimeoutMs);
    if (!answered(listed)) {
        qCDebug(lcPlatform, "KWin's input devices cannot be listed: %s", qPrintable(listed.errorMessage()));
        return false;
    }
    const QStringList sysNames = listed.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    for (const QString &sysName : sysNames) {
        const QString path = QLatin1String(kKwinDevices) + QLatin1Char('/') + sysName;
        const QDBusMessage reply =
            bus.call(propertiesCall(path, "GetAll", {QLatin1String(kKwinDeviceInterface)}), QDBus::Block, kBusTimeoutMs);
        if (!answered(reply)) {
            // Unplugged between the list and the question.
            qCDebug(lcPlatform, "KWin input device %s: %s", qPrintable(sysName), qPrintable(reply.errorMessage()));
            continue;
        }
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        if (!properties.value(QStringLiteral("pointer")).toBool())
            continue;
        if (properties.contains(QStringLiteral("supportsPointerAcceleration"))
            && !properties.value(QStringLiteral("supportsPointerAcceleration")).toBool())
            continue;
        KwinPointer p;
        p.sysName = sysName;
        p.vendor = properties.value(QStringLiteral("vendor")).toUInt();
        p.product = properties.value(QStringLiteral("product")).toUInt();
        p.name = properties.value(QStringLiteral("name")).toString();
        p.acceleration = properties.value(QStringLiteral("pointerAcceleration")).toDouble();
        pointers->append(p);
    }
    return true;
}

QByteArray hexByte(uchar c)
{
    static const char digits[] = "0123456789abcdef";
    return QByteArray("\\x") + digits[c >> 4] + digits[c & 0x0F];
}

} // namespace

// ------------------------------------------------------------------ GNOME --

GnomePointerSpeed::GnomePointerSpeed(QString program) : m_program(std::move(program)) {}

int GnomePointerSpeed::read()
{
    QByteArray printed;
    if (!runGsettings(m_program, {QStringLiteral("get"), QLatin1String(kGnomeSchema), QLatin1String(kGnomeKey)},
                      &printed))
        return m_speed;
    bool ok = false;
    const double speed = printed.trimmed().toDouble(&ok);
    if (!ok) {
        qCDebug(lcPlatform, "GNOME's mouse speed reads \"%s\"", printed.trimmed().constData());
        return m_speed;
    }
    m_speed = speedFromLibinputAccel(speed);
    return m_speed;
}

int GnomePointerSpeed::apply(int speed)
{
    m_speed = clampSpeed(speed);
    const QString value = QString::number(libinputAccelFromSpeed(m_speed), 'g', 6);
    if (!runGsettings(m_program, {QStringLiteral("set"), QLatin1String(kGnomeSchema), QLatin1String(kGnomeKey), value},
                      nullptr))
        return 1;
    qCDebug(lcPlatform, "GNOME's mouse speed set to %s", qPrintable(value));
    return 0;
}

// ------------------------------------------------------------------- KWin --

PlasmaPointerSpeed::PlasmaPointerSpeed(QString connectionName, QString settingsFile)
    : m_connectionName(std::move(connectionName)), m_settingsFile(std::move(settingsFile))
{
}

QString PlasmaPointerSpeed::settingsFile() const
{
    if (!m_settingsFile.isEmpty())
        return m_settingsFile;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kcminputrc");
}

int PlasmaPointerSpeed::read()
{
    QVector<KwinPointer> pointers;
    if (!kwinPointers(busNamed(m_connectionName), &pointers))
        return m_speed;
    m_pointerDevices = pointers.size();
    if (pointers.isEmpty())
        return m_speed;
    m_speed = speedFromLibinputAccel(pointers.constFirst().acceleration);
    return m_speed;
}

int PlasmaPointerSpeed::apply(int speed)
{
    m_speed = clampSpeed(speed);
    const double acceleration = libinputAccelFromSpeed(m_speed);
    const QDBusConnection bus = busNamed(m_connectionName);
    QVector<KwinPointer> pointers;
    if (!kwinPointers(bus, &pointers))
        return 1;
    m_pointerDevices = pointers.size();

    const QString path = settingsFile();
    QByteArray text;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly))
        text = current.readAll();
    current.close();
    const QByteArray before = text;

    int result = 0;
    int taken = 0;
    for (const KwinPointer &p : pointers) {
        const QDBusMessage reply = bus.call(
            propertiesCall(QLatin1String(kKwinDevices) + QLatin1Char('/') + p.sysName, "Set",
                           {QLatin1String(kKwinDeviceInterface), QStringLiteral("pointerAcceleration"),
                            QVariant::fromValue(QDBusVariant(acceleration))}),
            QDBus::Block, kBusTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qCDebug(lcPlatform, "KWin input device %s refused the acceleration: %s", qPrintable(p.sysName),
                    qPrintable(reply.errorMessage()));
            result = 2;
            continue;
        }
        ++taken;
        text = setIniEntry(text, kcminputrcGroup(p.vendor, p.product, p.name), QByteArrayLiteral("PointerAcceleration"),
                           QByteArray::number(acceleration, 'f', 3));
    }
    qCDebug(lcPlatform, "KWin: pointer acceleration %.3f on %d of %d pointer devices", acceleration, taken,
            int(pointers.size()));

    if (text != before) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
            qCDebug(lcPlatform, "%s cannot be written: %s", qPrintable(path), qPrintable(file.errorString()));
            return result != 0 ? result : 3;
        }
        qCDebug(lcPlatform, "Pointer acceleration kept in %s", qPrintable(path));
    }
    return result;
}

// -------------------------------------------------------------- kcminputrc --

QByteArray kcminputrcGroup(quint32 vendor, quint32 product, const QString &name)
{
    QByteArray escaped;
    for (const char c : name.toUtf8()) {
        const uchar u = uchar(c);
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        case '[':
        case ']': escaped += hexByte(u); break;
        default: escaped += u < 32 ? hexByte(u) : QByteArray(1, c); break;
        }
    }
    return "[Libinput][" + QByteArray::number(vendor) + "][" + QByteArray::number(product) + "][" + escaped + "]";
}

QByteArray setIniEntry(const QByteArray &text, const QByteArray &header, const QByteArray &key, const QByteArray &value)
{
    QList<QByteArray> lines = text.split('\n');
    if (text.isEmpty() || text.endsWith('\n'))
        lines.removeLast();   // what follows the last line break
    const QByteArray entry = key + '=' + value;

    int start = -1;
    for (int i = 0; i < lines.size() && start < 0; ++i) {
        if (lines.at(i).trimmed() == header)
            start = i;
    }
    if (start < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append(header);
        lines.append(entry);
        return lines.join('\n') + '\n';
    }

    int lastEntry = start;
    bool replaced = false;
    for (int i = start + 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith('['))
            break;   // the next group
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
            continue;
        lastEntry = i;
        const int equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == key) {
            lines[i] = entry;
            replaced = true;
        }
    }
    if (!replaced)
        lines.insert(lastEntry + 1, entry);
    return lines.join('\n') + '\n';
}

} // namespace platform
