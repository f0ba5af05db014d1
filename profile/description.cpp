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

bool wideDpiRange()
{
    return descriptionInt(QStringLiteral("33254")) == 1;
}

bool colorMode()
{
    return descriptionInt(QStringLiteral("ColorMode")) != 0;
}

bool ledDisabled()
{
    return descriptionInt(QStringLiteral("ledDisable")) != 0;
}

bool macroDisabled()
{
    return descriptionInt(QStringLiteral("DisableMacro")) != 0;
}

bool scrollReversed()
{
    return descriptionInt(QStringLiteral("ScrollRev")) == 1;
}

int syncSwitch()
{
    return descriptionInt(QStringLiteral("Sync"));
}

int describedPollrate()
{
    return descriptionInt(QStringLiteral("pollrate"));
}

int minDelay()
{
    return descriptionInt(QStringLiteral("MinDelay"));
}

DescribedIds describedIds()
{
    DescribedIds ids;
    ids.vid1 = quint32(descriptionInt(QStringLiteral("vid1")));
    ids.pid1 = quint32(descriptionInt(QStringLiteral("pid1")));
    ids.vid2 = quint32(descriptionInt(QStringLiteral("vid2")));
    ids.pid2 = quint32(descriptionInt(QStringLiteral("pid2")));
    return ids;
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
