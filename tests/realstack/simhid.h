#pragma once
// The simulated mouse's own hidapi functions, renamed in this build so that
// they can sit beside Debian's hidapi in one program: the mock kernel talks to
// the model through them, the code under test through the real library.

#include <cstddef>

struct hid_device_;
struct hid_device_info;

extern "C" {
int mousecfg_simhid_init(void);
struct hid_device_info *mousecfg_simhid_enumerate(unsigned short vendor_id, unsigned short product_id);
void mousecfg_simhid_free_enumeration(struct hid_device_info *devs);
struct hid_device_ *mousecfg_simhid_open_path(const char *path);
void mousecfg_simhid_close(struct hid_device_ *dev);
int mousecfg_simhid_write(struct hid_device_ *dev, const unsigned char *data, size_t length);
int mousecfg_simhid_read_timeout(struct hid_device_ *dev, unsigned char *data, size_t length, int milliseconds);
}
