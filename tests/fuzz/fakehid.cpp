#include "fakehid.h"

#include "device/devicetable.h"
#include "fuzzenv.h"
#include "platform/clock.h"
#include "profile/paths.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <cstring>
#include <hidapi/hidapi.h>

struct hid_device_ {
    int id;
};

namespace {

const uint8_t *g_data = nullptr;
size_t g_size = 0;
size_t g_pos = 0;
std::function<void()> g_hook;
QVector<fakehid::Read> g_reads;
int g_writes = 0;

const char *const kPaths[] = {
    "\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col01#fuzz",
    "\\\\?\\HID#VID_248A&PID_FB01&MI_00&Col04#fuzz",
};

wchar_t *wide(const wchar_t *s)
{
    const size_t n = wcslen(s) + 1;
    auto *w = static_cast<wchar_t *>(std::calloc(n, sizeof(wchar_t)));
    std::memcpy(w, s, n * sizeof(wchar_t));
    return w;
}

} // namespace

extern "C" {

int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }

struct hid_device_info *hid_enumerate(unsigned short, unsigned short)
{
    hid_device_info *head = nullptr;
    for (int i = 1; i >= 0; --i) {
        auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
        info->path = strdup(kPaths[i]);
        info->vendor_id = 0x248A;
        info->product_id = 0xFB01;
        info->serial_number = wide(L"");
        info->manufacturer_string = wide(L"fuzz");
        info->product_string = wide(L"fuzz");
        info->release_number = 0x100;
        info->usage_page = 1;
        info->usage = i == 0 ? 2 : 0;
        info->next = head;
        head = info;
    }
    return head;
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

hid_device *hid_open_path(const char *)
{
    static int next = 0;
    return new hid_device_{++next};
}

void hid_close(hid_device *dev) { delete dev; }

int hid_write(hid_device *, const unsigned char *, size_t length)
{
    ++g_writes;
    return int(length);
}

int hid_read_timeout(hid_device *, unsigned char *data, size_t length, int)
{
    if (g_pos >= g_size) {
        if (g_hook)
            g_hook();
        return -1;
    }
    const uint8_t control = g_data[g_pos++];
    if (control == 0xFF) {
        g_reads.append({-1, QByteArray()});
        return -1;
    }
    const size_t n = std::min<size_t>(control % 34, length);
    QByteArray bytes(int(n), '\0');
    for (size_t k = 0; k < n; ++k)
        bytes[int(k)] = char(g_pos < g_size ? g_data[g_pos++] : 0);
    std::memcpy(data, bytes.constData(), n);
    g_reads.append({int(n), bytes});
    return int(n);
}

} // extern "C"

namespace fakehid {

void openCable()
{
    static bool opened = false;
    if (opened)
        return;
    opened = true;
    static platform::VirtualClock clock;   // pauses return at once
    const QString dir = fuzzenv::freshDir();
    QFile config(dir + QStringLiteral("/Configs/Config.ini"));
    config.open(QIODevice::WriteOnly);
    config.write("[Config]\nCurrentProductName=FUZZ\n[Mouse_List]\n0=FUZZ\n");
    config.close();
    loadDeviceTable();
    enumerateDevices();
    openDevice("FUZZ");
    if (!deviceHandle(WiredControl))
        abort();
}

void setReplies(const uint8_t *data, size_t size)
{
    g_data = data;
    g_size = size;
    g_pos = 0;
    g_reads.clear();
    g_writes = 0;
}

void setExhaustedHook(std::function<void()> hook)
{
    g_hook = std::move(hook);
}

const QVector<Read> &reads()
{
    return g_reads;
}

int writes()
{
    return g_writes;
}

} // namespace fakehid
