// What the simulated mouse keeps between runs, in an INI file.

#include "sim/model_p.h"

#include <QFileInfo>
#include <QSettings>
#include <QtDebug>

namespace sim {

namespace {

struct BlockKey {
    Block block;
    const char *key;
    int size;
};

const BlockKey kBlocks[] = {
    {Block::Settings, "Blocks/Settings", SETTINGS_IMAGE_SIZE},
    {Block::Dpi, "Blocks/Dpi", DPI_IMAGE_SIZE},
    {Block::Keys, "Blocks/Keys", KEYS_IMAGE_SIZE},
    {Block::Lighting, "Blocks/Lighting", LIGHTING_IMAGE_SIZE},
    {Block::Macros, "Blocks/Macros", MACRO_IMAGE_SIZE},
};

struct Kept {
    QByteArray blocks[5];
    int activeProfile = 0;
    BatteryState battery;
};

} // namespace

bool saveState(const QString &path)
{
    Kept kept;
    {
        detail::Model &m = detail::model();
        std::lock_guard<std::mutex> lock(m.mutex);
        for (int b = 0; b < 5; ++b)
            kept.blocks[b] = m.committed[b];
        kept.activeProfile = m.activeProfile;
        kept.battery = m.battery;
    }
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    for (const BlockKey &k : kBlocks)
        file.setValue(QLatin1String(k.key), QString::fromLatin1(kept.blocks[int(k.block) - 1].toHex()));
    file.setValue(QStringLiteral("Mouse/ActiveProfile"), kept.activeProfile);
    file.setValue(QStringLiteral("Battery/Low"), kept.battery.low);
    file.setValue(QStringLiteral("Battery/High"), kept.battery.high);
    file.setValue(QStringLiteral("Battery/Charge"), kept.battery.charge);
    file.setValue(QStringLiteral("Battery/Status"), kept.battery.status);
    file.setValue(QStringLiteral("Battery/Mode"), kept.battery.mode);
    file.sync();
    if (file.status() != QSettings::NoError) {
        qDebug("The simulated mouse could not be kept in %s", qPrintable(path));
        return false;
    }
    return true;
}

bool loadState(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QSettings file(path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError) {
        qDebug("The kept simulated mouse %s cannot be read", qPrintable(path));
        return false;
    }
    Kept kept;
    for (const BlockKey &k : kBlocks) {
        const QByteArray hex = file.value(QLatin1String(k.key)).toString().toLatin1();
        const QByteArray bytes = QByteArray::fromHex(hex);
        if (bytes.size() != k.size || hex.size() != 2 * k.size) {
            qDebug("The kept simulated mouse %s has a damaged %s", qPrintable(path), k.key);
            return false;
        }
        kept.blocks[int(k.block) - 1] = bytes;
    }
    bool ok = true;
    const int profile = file.value(QStringLiteral("Mouse/ActiveProfile"), 0).toInt(&ok);
    kept.activeProfile = ok && profile >= 0 && profile <= 4 ? profile : 0;
    auto byte = [&file](const char *key) {
        bool valid = false;
        const int v = file.value(QLatin1String(key), 0).toInt(&valid);
        return quint8(valid && v >= 0 && v <= 255 ? v : 0);
    };
    kept.battery.low = byte("Battery/Low");
    kept.battery.high = byte("Battery/High");
    kept.battery.charge = byte("Battery/Charge");
    kept.battery.status = byte("Battery/Status");
    kept.battery.mode = byte("Battery/Mode");

    detail::Aftermath after;
    {
        detail::Model &m = detail::model();
        std::lock_guard<std::mutex> lock(m.mutex);
        for (int b = 0; b < 5; ++b) {
            m.committed[b] = kept.blocks[b];
            m.pending[b] = kept.blocks[b];
            m.pendingOpen[b] = false;
        }
        m.activeProfile = kept.activeProfile;
        m.battery = kept.battery;
        after.changed = true;
    }
    detail::finish(after);
    return true;
}

void clearMemory()
{
    detail::Aftermath after;
    {
        detail::Model &m = detail::model();
        std::lock_guard<std::mutex> lock(m.mutex);
        for (int b = 0; b < 5; ++b) {
            m.committed[b].fill('\0');
            m.pending[b] = m.committed[b];
            m.pendingOpen[b] = false;
        }
        m.activeProfile = 0;
        m.updateOpen = false;
        after.changed = true;
    }
    detail::finish(after);
}

} // namespace sim
