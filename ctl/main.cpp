// mousecfgctl: the mouse from the command line, through the system's HID devices.

#include "ctl/ctl.h"

int main(int argc, char **argv)
{
    return ctl::main(argc, argv);
}
