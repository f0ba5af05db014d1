#include "app/demo/simview.h"

#include "app/batterylevel.h"
#include "device/effects.h"
#include "device/sensors.h"

#include <algorithm>

namespace simview {

namespace {

enum {
    GENERAL_SIZE = sim::SETTINGS_IMAGE_SIZE,
    DPI_SIZE = sim::DPI_IMAGE_SIZE,
    KEYS_SIZE = sim::KEYS_IMAGE_SIZE,
    LIGHTING_SIZE = sim::LIGHTING_IMAGE_SIZE,
    MACROS_SIZE = sim::MACRO_IMAGE_SIZE,
    FULL_BATTERY_MV = 4200,   // the program's default full threshold
};

quint8 at(const QByteArray &bytes, int i)
{
    return quint8(bytes.at(i));
}

bool allZero(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

// Millivolts well inside each band of the battery display, from level 10 up.
const int kBandMillivolts[10] = {3000, 3300, 3450, 3600, 3750, 3850, 3950, 4050, 4150, 4250};

} // namespace

Snapshot takeSnapshot(int recentFrameCount)
{
    Snapshot s;
    s.receiver = sim::isPlugged(sim::Side::Receiver);
    s.cable = sim::isPlugged(sim::Side::Cable);
    s.mouseOff = sim::mouseOff();
    s.battery = sim::battery();
    s.activeProfile = sim::activeProfile();
    s.updateOpen = sim::updateOpen();
    s.updateBegins = sim::updateBegins();
    s.updateEnds = sim::updateEnds();
    s.sections = sim::appliedSections();
    for (int b = 0; b < BLOCK_COUNT; ++b) {
        s.blocks[b] = sim::block(sim::Block(b + 1));
        s.commits[b] = sim::commitCount(sim::Block(b + 1));
    }
    s.writes = sim::writeCount();
    s.reads = sim::readCount();
    s.recentFrames = sim::recentWrittenFrames(recentFrameCount);
    s.faults = sim::pendingFaults();
    return s;
}

QString hexByte(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString hex(const QByteArray &bytes)
{
    QStringList parts;
    parts.reserve(bytes.size());
    for (char c : bytes)
        parts << hexByte(quint8(c));
    return parts.join(QLatin1Char(' '));
}

QStringList frameByteLines(const QByteArray &frame, int dataPerLine)
{
    if (frame.size() < 8)
        return {hex(frame)};
    const int length = std::min<int>(at(frame, 6), frame.size() - 8);
    const int step = std::max(1, dataPerLine);
    QStringList lines;
    lines << hex(frame.left(8));
    for (int i = 0; i < length; i += step) {
        const QString part = hex(frame.mid(8 + i, std::min(step, length - i)));
        if (i == 0)
            lines[0] += QStringLiteral(" | ") + part;
        else
            lines << part;
    }
    return lines;
}

QString describeFrame(const QByteArray &frame)
{
    if (frame.size() < 8 || at(frame, 0) != 0x05 || at(frame, 2) != 0xFA)
        return QStringLiteral("not a command frame");
    const quint8 command = at(frame, 3);
    const quint8 a = at(frame, 4);
    const quint8 b = at(frame, 5);
    switch (command) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05: {
        const bool macros = command == 0x05;
        const int offset = macros ? (a | (b << 8)) : a;
        QString what = blockName(sim::Block(command));
        switch (at(frame, 7)) {
        case 0xD1:
            return what + QStringLiteral(" · first @%1 ×%2").arg(offset).arg(at(frame, 6));
        case 0xD2:
            return what + QStringLiteral(" · next @%1 ×%2").arg(offset).arg(at(frame, 6));
        case 0xD3:
            return what + QStringLiteral(" · end");
        default:
            return what + QStringLiteral(" · segment %1?").arg(hexByte(at(frame, 7)));
        }
    }
    case 0x40:
        return a == 0xF3 ? QStringLiteral("APPLY section %1").arg(hexByte(b)) : QStringLiteral("APPLY ?");
    case 0x44:
        return QStringLiteral("SELECT profile %1").arg(a + 1);
    case 0x46:
        return a == 0 ? QStringLiteral("UPDATE begin") : a == 1 ? QStringLiteral("UPDATE end")
                                                                : QStringLiteral("UPDATE ?");
    case 0x48:
        return QStringLiteral("BATTERY query");
    default:
        return QStringLiteral("command %1").arg(hexByte(command));
    }
}

int reportRateHz(quint8 code)
{
    switch (code) {
    case 8:
        return 125;
    case 4:
        return 250;
    case 2:
        return 500;
    case 1:
        return 1000;
    default:
        return 0;
    }
}

QString reportRateText(quint8 code)
{
    const int hz = reportRateHz(code);
    return hz ? QStringLiteral("%1 Hz").arg(hz) : QStringLiteral("code %1").arg(hexByte(code));
}

quint8 nextReportRate(quint8 code)
{
    switch (code) {
    case 8:
        return 4;
    case 4:
        return 2;
    case 2:
        return 1;
    default:
        return 8;
    }
}

int dpiOfIndex(quint16 index)
{
    return sensorDpi(index, kDemoSensor);
}

QString blockName(sim::Block which)
{
    switch (which) {
    case sim::Block::Settings:
        return QStringLiteral("General settings");
    case sim::Block::Dpi:
        return QStringLiteral("DPI table");
    case sim::Block::Keys:
        return QStringLiteral("Key table");
    case sim::Block::Lighting:
        return QStringLiteral("Lighting");
    case sim::Block::Macros:
        return QStringLiteral("Macro memory");
    }
    return QString();
}

QString blockShortName(sim::Block which)
{
    switch (which) {
    case sim::Block::Settings:
        return QStringLiteral("General");
    case sim::Block::Dpi:
        return QStringLiteral("DPI");
    case sim::Block::Keys:
        return QStringLiteral("Keys");
    case sim::Block::Lighting:
        return QStringLiteral("Lighting");
    case sim::Block::Macros:
        return QStringLiteral("Macros");
    }
    return QString();
}

General decodeGeneral(const QByteArray &block)
{
    General g;
    if (block.size() != GENERAL_SIZE)
        return g;
    g.valid = true;
    g.written = !allZero(block);
    for (int p = 0; p < PROFILE_COUNT; ++p) {
        g.scroll[p] = at(block, p);
        g.rates[p] = at(block, 11 + p);
    }
    g.sensorFlags = at(block, 5);
    g.profile = at(block, 6);
    g.moveOff = at(block, 7);
    g.sleep = at(block, 8);
    g.debounce = at(block, 9);
    g.dpiStage = at(block, 17);
    g.lightingMode = at(block, 18);
    return g;
}

QString lightingModeName(int code)
{
    const QString name = QString::fromLatin1(::lightingModeName(code));
    return name.isEmpty() ? QStringLiteral("mode %1?").arg(code) : name;
}

DpiTable decodeDpi(const QByteArray &block)
{
    DpiTable t;
    if (block.size() != DPI_SIZE)
        return t;
    t.valid = true;
    t.written = !allZero(block);
    t.stageCount = at(block, 0);
    for (int i = 0; i < DPI_STAGES; ++i) {
        const int base = 1 + 5 * i;
        DpiStage &s = t.stages[i];
        s.bytes = block.mid(base, 5);
        s.used = at(block, base) != 0;
        s.x = quint16(at(block, base + 1) | (at(block, base + 2) << 8));
        s.y = quint16(at(block, base + 3) | (at(block, base + 4) << 8));
    }
    return t;
}

QString stageText(const DpiStage &stage)
{
    const int x = dpiOfIndex(stage.x);
    const int y = dpiOfIndex(stage.y);
    return x == y ? QString::number(x) : QStringLiteral("%1/%2").arg(x).arg(y);
}

QString keyFunctionName(const QByteArray &slotBytes)
{
    if (slotBytes.size() < 4)
        return QString();
    const quint8 b1 = at(slotBytes, 1);
    const quint8 b2 = at(slotBytes, 2);
    switch (at(slotBytes, 0)) {
    case 0x00:
        return QStringLiteral("Off");
    case 0x81:
        return QStringLiteral("Left");
    case 0x82:
        return QStringLiteral("Right");
    case 0x83:
        return QStringLiteral("Middle");
    case 0x84:
        return QStringLiteral("Back");
    case 0x85:
        return QStringLiteral("Forward");
    case 0x88:
        return QStringLiteral("DPI Switch");
    case 0x89:
        return QStringLiteral("DPI -");
    case 0x8A:
        return QStringLiteral("DPI +");
    case 0x8B:
        return QStringLiteral("Scroll up");
    case 0x8C:
        return QStringLiteral("Scroll down");
    case 0x8D:
        return QStringLiteral("Profile switch");
    case 0x8E:
        return QStringLiteral("Consumer %1%2").arg(hexByte(at(slotBytes, 3)), hexByte(b2));
    case 0x8F: {
        QStringList mods;
        if (b1 & 0x01)
            mods << QStringLiteral("Ctrl");
        if (b1 & 0x02)
            mods << QStringLiteral("Shift");
        if (b1 & 0x04)
            mods << QStringLiteral("Alt");
        if (b1 & 0x08)
            mods << QStringLiteral("Win");
        mods << QStringLiteral("key %1").arg(hexByte(b2));
        return QStringLiteral("Shortcut ") + mods.join(QLatin1Char('+'));
    }
    case 0x90:
        return QStringLiteral("Key %1").arg(hexByte(b2));
    case 0x91:
        return QStringLiteral("Macro %1").arg(b1 & 0x3F);
    case 0x94:
        return QStringLiteral("Profile +");
    case 0x95:
        return QStringLiteral("Profile -");
    case 0x97:
        return b1 == 1 ? QStringLiteral("Rate switch") : QStringLiteral("Rate +");
    case 0x98:
        return QStringLiteral("Rate -");
    case 0x99:
        return QStringLiteral("Fire");
    case 0x9A:
        return QStringLiteral("Sniper");
    case 0x9B:
        return QStringLiteral("LED switch");
    case 0x9D:
        return QStringLiteral("Gun %1").arg(b1 & 0x3F);
    default:
        return QString();
    }
}

KeyTable decodeKeys(const QByteArray &block)
{
    KeyTable t;
    if (block.size() != KEYS_SIZE)
        return t;
    t.valid = true;
    t.written = !allZero(block);
    t.headerOk = at(block, 0) == 0x0A && at(block, 1) == 0x00;
    for (int s = 0; s < KEY_SLOTS; ++s) {
        t.keys[s].bytes = block.mid(2 + 4 * s, 4);
        t.keys[s].name = keyFunctionName(t.keys[s].bytes);
    }
    return t;
}

Lighting decodeLighting(const QByteArray &block)
{
    Lighting l;
    if (block.size() != LIGHTING_SIZE)
        return l;
    l.valid = true;
    l.written = !allZero(block);
    for (int r = 0; r < LIGHT_RECORDS; ++r) {
        const int base = 8 * r;
        LightRecord &rec = l.records[r];
        rec.marker = at(block, base);
        rec.colour = QColor(at(block, base + 1), at(block, base + 2), at(block, base + 3));
        rec.kind = at(block, base + 4);
        rec.speed = at(block, base + 5);
        rec.extra = at(block, base + 6);
        rec.brightness = at(block, base + 7);
        rec.name = lightingModeName(r + 1);
    }
    return l;
}

MacroMemory decodeMacros(const QByteArray &block)
{
    MacroMemory m;
    if (block.size() != MACROS_SIZE)
        return m;
    m.valid = true;
    for (int k = 0; k < MACRO_SLOTS; ++k) {
        const QByteArray slot = block.mid(k * MACRO_SLOT_SIZE, MACRO_SLOT_SIZE);
        MacroSlot &s = m.macros[k];
        s.used = !allZero(slot.left(5));
        int last = slot.size() - 1;
        while (last >= 0 && slot.at(last) == 0)
            --last;
        s.length = last + 1;
        s.head = slot.left(std::min(12, s.length));
        if (s.used)
            ++m.usedCount;
    }
    return m;
}

bool operator==(const Status &a, const Status &b)
{
    return a.profile == b.profile && a.dpi == b.dpi && a.rate == b.rate && a.mode == b.mode;
}

namespace {

quint8 heldRate(const General &g, int profile)
{
    if (!g.valid || profile < 0 || profile >= PROFILE_COUNT)
        return 1;
    const quint8 rate = g.rates[profile];
    return reportRateHz(rate) ? rate : quint8(1);
}

Status heldStatus(const Snapshot &s)
{
    const General g = decodeGeneral(s.block(sim::Block::Settings));
    Status st;
    st.profile = quint8(std::clamp(s.activeProfile, 0, PROFILE_COUNT - 1));
    st.dpi = g.valid ? g.dpiStage : 0;
    st.rate = heldRate(g, st.profile);
    st.mode = s.battery.mode;
    return st;
}

} // namespace

Status profileButton(const Snapshot &s)
{
    Status st = heldStatus(s);
    st.profile = quint8((st.profile + 1) % PROFILE_COUNT);
    st.rate = heldRate(decodeGeneral(s.block(sim::Block::Settings)), st.profile);
    return st;
}

Status dpiButton(const Snapshot &s)
{
    Status st = heldStatus(s);
    const DpiTable t = decodeDpi(s.block(sim::Block::Dpi));
    const int count = (t.stageCount >= 1 && t.stageCount <= DPI_STAGES) ? t.stageCount : DPI_STAGES;
    // The stages the table enables; all of them while it enables none.
    QVector<int> enabled;
    for (int i = 0; i < count; ++i) {
        if (t.stages[i].used)
            enabled << i;
    }
    if (enabled.isEmpty()) {
        for (int i = 0; i < count; ++i)
            enabled << i;
    }
    int next = enabled.first();
    for (int i : qAsConst(enabled)) {
        if (i > st.dpi) {
            next = i;
            break;
        }
    }
    st.dpi = quint8(next);
    return st;
}

Status rateButton(const Snapshot &s)
{
    Status st = heldStatus(s);
    st.rate = nextReportRate(st.rate);
    return st;
}

void send(const Status &status)
{
    sim::pushStatus(status.profile, status.dpi, status.rate, status.mode);
}

int millivoltsOfRaw(quint16 raw)
{
    return batteryMillivolts(quint8(raw & 0xFF), quint8(raw >> 8));
}

int levelOfRaw(quint16 raw)
{
    return batteryLevel(millivoltsOfRaw(raw), FULL_BATTERY_MV);
}

quint16 rawForLevel(int level)
{
    const int band = std::clamp(level / 10, 1, 10) - 1;
    // raw = mV * 240 / 990, rounded to the nearest step.
    return quint16((kBandMillivolts[band] * 240 + 495) / 990);
}

sim::BatteryState batteryFor(int level, bool charging, const sim::BatteryState &base)
{
    sim::BatteryState b = base;
    const quint16 raw = rawForLevel(level);
    b.low = quint8(raw & 0xFF);
    b.high = quint8(raw >> 8);
    b.charge = charging ? 1 : 0;
    return b;
}

QRect placePanel(const QRect &available, const QRect &mainFrame, const QSize &preferred, const QSize &minimum,
                 QPoint *mainMovedTo)
{
    enum { GAP = 8 };
    QPoint mainPos = mainFrame.topLeft();
    const int areaLeft = available.left();
    const int areaTop = available.top();
    const int areaRight = available.left() + available.width();    // one past the last column
    const int areaBottom = available.top() + available.height();
    auto clampStart = [](int start, int length, int lo, int hi) { return std::max(lo, std::min(start, hi - length)); };
    QRect panel;

    if (mainFrame.width() + GAP + minimum.width() <= available.width()) {
        // Side by side.
        const int width = std::min(preferred.width(), available.width() - mainFrame.width() - GAP);
        const int height = std::min(preferred.height(), available.height());
        int mainLeft = clampStart(mainPos.x(), mainFrame.width() + GAP + width, areaLeft, areaRight);
        mainPos.setX(mainLeft);
        const int top = clampStart(mainPos.y(), height, areaTop, areaBottom);
        panel = QRect(mainLeft + mainFrame.width() + GAP, top, width, height);
    } else if (mainFrame.height() + GAP + minimum.height() <= available.height()) {
        // Below.
        const int width = std::min(preferred.width(), available.width());
        const int height = std::min(preferred.height(), available.height() - mainFrame.height() - GAP);
        const int mainTop = clampStart(mainPos.y(), mainFrame.height() + GAP + height, areaTop, areaBottom);
        mainPos.setY(mainTop);
        const int left = clampStart(mainPos.x(), width, areaLeft, areaRight);
        panel = QRect(left, mainTop + mainFrame.height() + GAP, width, height);
    } else {
        // No room: along the right edge of the area.
        const int width = std::min(preferred.width(), available.width());
        const int height = std::min(preferred.height(), available.height());
        panel = QRect(areaRight - width, areaTop, width, height);
    }
    if (mainMovedTo)
        *mainMovedTo = mainPos;
    return panel;
}

} // namespace simview
