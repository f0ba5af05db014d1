#include "inifile.h"

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
