#include "description.h"

#include "inifile.h"
#include "paths.h"
#include "slotcache.h"

#include <QFile>
#include <limits>
#include <mutex>

namespace {

const QString kGroup = QStringLiteral("PROFILE/");

// Documented defaults of the single-value keys; every other key defaults to 0.
qint64 defaultFor(const QString &key)
{
    static const struct { const char *key; int value; } defaults[] = {
        {"ShowSleep", 1}, {"SleepMin", 1}, {"SleepMax", 9}, {"MinDelay", 10},
        {"vid1", 0x248A}, {"pid1", 0xFA02}, {"vid2", 0x248A}, {"pid2", 0xFB01},
    };
    for (const auto &d : defaults)
        if (key == QLatin1String(d.key))
            return d.value;
    return 0;
}

int readMatrix(const char *suffix, quint8 out[16])
{
    if (!descriptionExists())
        return -1;
    const QSettings::SettingsMap keys = cachedIniKeys(descriptionPath());
    for (int i = 0; i < 16; ++i)
        out[i] = lowU8(
            variantInt(keys.value(QStringLiteral("PROFILE/BUTTON_INFO_%1_%2").arg(i).arg(QLatin1String(suffix)))));
    return 0;
}

int clampToInt(qint64 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// A value of the description as IniFile reads it. The file is small and read
// only, but asked for dozens of times while the window is built: its keys are
// read once, and again whenever the file changes.
QVariant descriptionValue(const QString &key)
{
    return cachedIniValue(descriptionPath(), key);
}

} // namespace

bool descriptionExists()
{
    return QFile::exists(descriptionPath());
}

bool readDeviceDescription(DeviceDescription &out)
{
    out = DeviceDescription();
    if (!descriptionExists())
        return false;
    const QSettings::SettingsMap keys = cachedIniKeys(descriptionPath());
    const auto value = [&keys](const QString &key) { return keys.value(kGroup + key); };
    const auto number = [&value](const QString &key) { return variantInt(value(key)); };
    out.dpi = lowU8(number(QStringLiteral("dpi")));
    for (int i = 0; i < 8; ++i)
        out.xy[i] = lowI32(number(QStringLiteral("DPI_INFO_%1_xy").arg(i)));
    out.pollrate = lowI32(number(QStringLiteral("pollrate")));
    out.LedMode = lowU8(number(QStringLiteral("LedMode")));
    out.Style = lowU8(number(QStringLiteral("Style")));
    for (int i = 0; i < 4; ++i)
        out.FontSize[i] = lowU8(number(QStringLiteral("FontSize_%1").arg(i)));
    out.ButtonCount = lowU8(number(QStringLiteral("ButtonCount")));
    for (int i = 0; i < 4; ++i)
        out.FontName[i] = value(QStringLiteral("FontName_%1").arg(i)).toString();
    out.Font_RGB = value(QStringLiteral("Font_RGB")).value<QColor>();
    out.BackPic = value(QStringLiteral("BackPic")).toString();
    out.CompanyName = value(QStringLiteral("CompanyName")).toString();
    out.ProductName = value(QStringLiteral("ProductName")).toString();
    out.FolderPath = value(QStringLiteral("FolderPath")).toString();
    for (int i = 0; i < 4; ++i)
        out.Lang[i] = lowU8(number(QStringLiteral("Lang_%1").arg(i)));
    for (int i = 0; i < EFFECT_COUNT; ++i) {
        const QString prefix = QStringLiteral("LedMode/LED_MODE_%1_").arg(i);
        out.effects[i].colour = value(prefix + QStringLiteral("RGB")).value<QColor>();
        out.effects[i].bright = lowI32(number(prefix + QStringLiteral("bright")));
        out.effects[i].breath = lowI32(number(prefix + QStringLiteral("breath")));
    }
    // The file describes the first 16 button slots; 16 to 19 stay zero.
    for (int i = 0; i < 16; ++i) {
        const QString prefix = QStringLiteral("BUTTON_INFO_%1_").arg(i);
        DeviceDescription::Button &b = out.buttons[i];
        b.ID = lowI32(number(prefix + QStringLiteral("ID")));
        b.Fun = lowI32(number(prefix + QStringLiteral("Fun")));
        b.LoopNumber = lowI32(number(prefix + QStringLiteral("LoopNumber")));
        b.KeyNumber = lowI32(number(prefix + QStringLiteral("KeyNumber")));
        b.Res1 = lowU8(number(prefix + QStringLiteral("Res1")));
        b.Res2 = lowU8(number(prefix + QStringLiteral("Res2")));
        b.Res3 = lowU8(number(prefix + QStringLiteral("Res3")));
        b.Res4 = lowU8(number(prefix + QStringLiteral("Res4")));
    }
    return true;
}

int descriptionInt(const QString &key)
{
    // A missing file has no keys: every key reads as its default.
    return lowI32(variantInt(descriptionValue(kGroup + key), defaultFor(key)));
}

SleepRange sleepRange()
{
    SleepRange range;
    range.min = descriptionInt(QStringLiteral("SleepMin"));
    range.max = qMax(range.min, descriptionInt(QStringLiteral("SleepMax")));
    return range;
}

bool sleepShown()
{
    return descriptionInt(QStringLiteral("ShowSleep")) != 0;
}

QString descriptionString(const QString &key)
{
    return descriptionValue(kGroup + key).toString();
}

QString productName()
{
    return descriptionString(QStringLiteral("ProductName"));
}

QString productVersion()
{
    return descriptionString(QStringLiteral("Version"));
}

int buttonCount()
{
    return descriptionInt(QStringLiteral("ButtonCount")) ^ descriptionInt(QStringLiteral("MouseDpi"));
}

int dpiStageCount()
{
    return buttonCount() ^ descriptionInt(QStringLiteral("DPICount"));
}

int readButtonMatrix(quint8 out[16])
{
    return readMatrix("Matrix", out);
}

int readButtonMatrix2(quint8 out[16])
{
    if (readMatrix("Matrix2", out) < 0)
        return -1;
    return buttonCount();
}

std::array<quint8, 16> &buttonMatrix()
{
    static std::array<quint8, 16> matrix{};
    return matrix;
}

int sensorDpi(int value, int sensor)
{
    // Integer division rounding down, in 64 bits so no raw value overflows.
    const auto div = [](qint64 a, qint64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const qint64 v = value;
    qint64 dpi = 0;
    switch (sensor) {
    case 3325: case 33252:
        dpi = v <= 50 ? 100 * v : v <= 75 ? 5000 + 200 * (v - 50) : 10000 + 400 * (v - 75);
        break;
    case 3327:
        if (v <= 61)
            dpi = 100 * (v + 1);
        else if (v <= 92)
            dpi = 6200 + 200 * (v - 61);
        else
            dpi = v == 106 ? 16400 : 12300 + 300 * (v - 92);
        break;
    case 3360: case 3311: case 33112:
        dpi = v <= 120 ? 100 * v : 12000 + 200 * (v - 120);
        break;
    case 3389:
        dpi = v <= 320 ? 50 * v : 16000 + 100 * (v - 320);
        break;
    case 3212:
        if (v < 64) {
            dpi = 10 * div(38 * v, 10);
            if (dpi == 790) dpi = 800;
            else if (dpi == 1210) dpi = 1200;
            else if (dpi == 1630) dpi = 1600;
            else if (dpi == 2390) dpi = 2400;
        } else if (v <= 94) {
            dpi = 10 * div(76 * (v - 32), 10);
        } else {
            dpi = 10 * div(152 * (v - 63), 10);
            if (dpi == 7290) dpi = 7200;
        }
        break;
    case 3104: case 31042:
        if (v <= 106) {
            dpi = 40 * v;
            if (dpi == 560)
                dpi = 500;
        } else {
            dpi = 80 * v - 4240;
        }
        break;
    case 3335: case 33352:
        dpi = v <= 160 ? 100 * v : 16000 + 200 * (v - 160);
        break;
    case 3370:
        dpi = v <= 200 ? 50 * v : 10000 + 100 * (v - 200);
        break;
    case 3333:
        dpi = v <= 80 ? 100 * v : 8000 + 200 * (v - 80);
        break;
    case 3399:
        dpi = v <= 399 ? 50 * (v + 1) : 20000 + 100 * (v - 399);
        break;
    case 3395: case 33952:
        dpi = v <= 519 ? 50 * (v + 1) : 26000 + 100 * (v - 519);
        break;
    default:
        dpi = 0;
        break;
    }
    return clampToInt(dpi);
}

bool nearValue(int a, int b)
{
    const qint64 d = static_cast<qint64>(a) - b;
    return d >= -9 && d <= 9;
}

int sensorCode()
{
    return lowI32(iniInt(IniFile(globalConfigPath()), QStringLiteral("MouseSenSor/1")));
}

int ledVariant()
{
    IniFile ini(globalConfigPath());
    const QString product = ini.value(QStringLiteral("Config/CurrentProductName")).toString();
    return lowI32(iniInt(ini, QStringLiteral("MouseLEDMode/") + product));
}

QString mouseListName()
{
    return IniFile(globalConfigPath()).value(QStringLiteral("Mouse_List/0")).toString();
}
