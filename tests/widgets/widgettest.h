#pragma once
// Shared set-up of the widget suites: a private Configs base whose Config.ini
// names the language fonts, and a private application directory with small
// skin pictures of known colours.

#include "profile/language.h"
#include "profile/paths.h"
#include "widgets/uistate.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

namespace widgettest {

// Two languages: 0 in "DejaVu Sans" at 12 pixels, 1 in "DejaVu Serif" at 16.
inline void useLanguageConfig(const QTemporaryDir &dir)
{
    const QString base = dir.filePath(QStringLiteral("Configs"));
    QDir().mkpath(base);
    {
        QSettings ini(base + QStringLiteral("/Config.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("FONT_LIST/LANGNUM"), 2);
        ini.setValue(QStringLiteral("FONT_LIST/FONT_0"), QStringLiteral("DejaVu Sans"));
        ini.setValue(QStringLiteral("FONT_LIST/FONT_SIZE_0"), 12);
        ini.setValue(QStringLiteral("FONT_LIST/FONT_1"), QStringLiteral("DejaVu Serif"));
        ini.setValue(QStringLiteral("FONT_LIST/FONT_SIZE_1"), 16);
    }
    setConfigsBase(base);
    setCurrentLanguageIndex(0);
}

// A solid picture, written as PNG; returns its path.
inline QString writePicture(const QString &path, const QColor &color, const QSize &size = QSize(40, 20))
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return path;
}

// Neutral process-wide look for each test.
inline void resetLook()
{
    setScaleFactor(1.0);
    setThemeColorIndex(0);
    setAlternateStyle(false);
    setDeviceConnectedQuery(nullptr);
}

// Colour of a widget's pixel as drawn.
inline QColor pixelAt(QWidget *widget, const QPoint &point)
{
    return widget->grab().toImage().pixelColor(point);
}

} // namespace widgettest
