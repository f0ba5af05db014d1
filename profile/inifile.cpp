#include "inifile.h"
#include "profile/logging.h"
#include "records.h"

#include <QDebug>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

IniFile::IniFile(const QString &path)
    : QSettings(path, QSettings::IniFormat)
{
    setIniCodec("UTF-8");
}

qint64 variantInt(const QVariant &value, qint64 fallback)
{
    if (!value.isValid())
        return fallback;
    QString text;
    if (value.type() == QVariant::StringList) {
        // "1,2" is read back by QSettings as a list: not a number.
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
