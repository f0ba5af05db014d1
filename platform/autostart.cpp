#include "platform/autostart.h"

#include "platform/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>
#include <QtDebug>

namespace platform {

QString autostartEntryPath(const QString &appId)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/")
        + appId + QStringLiteral(".desktop");
}

bool autostartEnabled(const QString &appId)
{
    QFile file(autostartEntryPath(appId));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // An entry the user (or a settings panel) switched off stays off.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

QString quotedExecArgument(const QString &argument)
{
    bool plain = !argument.isEmpty();
    for (const QChar c : argument) {
        if (!(c.isLetterOrNumber() || QStringLiteral("/-_.,:+=@").contains(c)))
            plain = false;
    }
    if (plain)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // The entry's value is read with its own escapes first; a per cent sign
    // would start a field code.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return quoted;
}

bool setAutostart(const QString &appId, bool enabled, const QString &program, const QStringList &arguments)
{
    const QString path = autostartEntryPath(appId);
    if (!enabled) {
        if (!QFile::exists(path))
            return true;
        const bool removed = QFile::remove(path);
        if (!removed)
            qCWarning(lcPlatform, "Cannot remove %s", qPrintable(path));
        return removed;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QStringList exec{quotedExecArgument(program)};
    for (const QString &argument : arguments)
        exec << quotedExecArgument(argument);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=mousecfg\n"
           "Comment=Shows the mouse's battery and follows its buttons from the start\n"
           "Exec=" << exec.join(QLatin1Char(' ')) << "\n"
           "Icon=mousecfg\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    const bool written = file.commit();
    if (!written)
        qCWarning(lcPlatform, "Cannot write %s", qPrintable(path));
    return written;
}

} // namespace platform
