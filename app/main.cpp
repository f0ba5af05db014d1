// mousecfg: configures the mouse through the system's HID devices.

#include "app/entry.h"

int main(int argc, char **argv)
{
    return runMousecfg(argc, argv);
}
