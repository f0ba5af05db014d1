#pragma once
// The kernel side of the real program's HID stack, mocked: sysfs, the hidraw
// nodes and udev events come from umockdev (the test runs under
// umockdev-wrapper), and every frame that reaches a node is served by the
// simulated mouse's model. The code under test links Debian's hidapi and
// libudev and reaches the mouse through a real file descriptor: enumeration
// reads the mocked sysfs, opening asks the node's report descriptor through
// ioctl, writes and reads go through the node (a pseudo terminal in raw mode
// underneath), hot-plug arrives through the udev monitor.
//
// Layout of each side (receiver, cable), as the kernel shows a USB HID mouse:
//   usb device (idVendor, idProduct, bcdDevice) / usb interface 0 /
//   hid device (HID_ID, report_descriptor) / hidraw/hidrawN (the node)
// The node's report descriptor has four top-level collections: the mouse
// (with a nested physical collection, as real mice have), a keyboard, a
// consumer control and the control collection (report id 5, 32 bytes each
// way), so the control collection is the fourth.
//
// The pump thread moves each 33-byte report written to a node into the
// model's control collection of that side, and every report the model queues
// there (echoes, battery replies, status reports) back to the node.
//
// The mouse can be moved (setMotion): its motion reports (the mouse
// collection's report id 1) then reach the node between the replies, as on
// Linux, where one hidraw node carries every collection of the interface.
// The node is a pseudo terminal, a byte stream: every report goes out as 33
// bytes (a motion report's 6 followed by zeros), so that one read of 33 bytes
// takes one report. Like hidraw's buffer, the node holds at most 64 unread
// reports: a motion report that finds it full is dropped. Replies are never
// dropped, so what a download sends does not depend on how busy the machine
// is.

#include "sim/simmouse.h"

#include <QByteArray>

#include <memory>

class MockKernel {
public:
    MockKernel();
    ~MockKernel();
    MockKernel(const MockKernel &) = delete;
    MockKernel &operator=(const MockKernel &) = delete;

    // True when the process runs under umockdev's preload library.
    static bool available();

    // Adds the side's devices and announces the node ("add"); removes them
    // again ("remove") and unplugs the side in the model.
    void plug(sim::Side side);
    void unplug(sim::Side side);

    // The side's node while plugged ("/dev/hidrawN"), else empty. Every plug
    // makes a new node and a new USB device, as a replug on another port
    // would, since umockdev keeps some links of removed devices.
    QByteArray node(sim::Side side) const;
    static QByteArray reportDescriptor();
    // Reports moved to and from the nodes since construction (motion
    // reports included).
    int framesIn() const;
    int framesOut() const;

    // The mouse moves at `hz` motion reports a second (0: still), on the
    // node of the side that carries its reports (the cable when plugged).
    // sim::reset() stops it.
    void setMotion(int hz);
    // Motion reports that reached a node, and those dropped because the
    // node held 64 unread reports.
    int motionOut() const;
    int motionDropped() const;
    // Every reply of the mouse (echo, battery reply, status report) reaches
    // the node behind `count` motion reports (0..63), whatever the time: a
    // moving mouse as the reader finds it, without the timing of a real one
    // (a busy machine reads a node fed at 1000 Hz late, and a download's
    // frames then depend on the load).
    void setMotionAheadOfReplies(int count);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
