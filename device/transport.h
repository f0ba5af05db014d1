#pragma once
// The verified command frame: 33 bytes on the wire, report id 5, checksum,
// 0xFA marker, command, offset, length, segment marker, up to 25 data bytes.

#include <QtGlobal>

#include <functional>

enum SendResult : quint8 {
    SEND_OK = 0,
    SEND_NO_DEVICE = 1,
    SEND_VERIFY_FAILED = 2,
    SEND_WRITE_FAILED = 4,
};

enum SegmentMarker : quint8 { SEG_FIRST = 0xD1, SEG_NEXT = 0xD2, SEG_END = 0xD3 };

enum { FRAME_LENGTH = 33, FRAME_BUFFER = 64 };

// A zeroed 64-byte buffer whose byte 0 is a spare byte never sent; bytes
// 1..33 are the wire frame (wire byte k at buffer index k + 1).
struct CommandFrame {
    quint8 buf[FRAME_BUFFER] = {};
    quint8 &wire(int k) { return buf[k + 1]; }
    quint8 wire(int k) const { return buf[k + 1]; }
    // report id 5, marker 0xFA, command, offset/arguments, length, segment, data
    static CommandFrame make(quint8 command, quint8 arg1, quint8 arg2, quint8 length,
                             quint8 segment, const quint8 *data = nullptr);
};

// Wire bytes 2..7 summed modulo 256, XOR 0x66.
quint8 frameChecksum(const quint8 *wire);

// How a reply read after a write compares with the frame sent.
enum EchoCheck : quint8 {
    ECHO_MATCH = 0,
    ECHO_HEADER_MISMATCH = 1,   // report id, marker, command, offsets or length differ
    ECHO_DATA_MISMATCH = 2,     // the header matches, a data byte differs
    ECHO_SHORT = 3,             // the read returned too few bytes to be an echo
};

// Compares the reply with the frame sent (both wire bytes, byte 0 the report
// id): wire bytes 0 and 2..6, then, when `compareData` and the frame carries
// data, its data bytes. Only the `replyLength` bytes the read returned are
// looked at; a reply that does not cover every byte compared is not an echo,
// whatever the rest of the caller's buffer holds. Reads sent[0..32] and
// reply[0..replyLength-1], nothing else.
EchoCheck checkEcho(const quint8 *sent, const quint8 *reply, int replyLength, bool compareData);

// The control collection's report id: wire byte 0 of every frame and reply.
enum : quint8 { CONTROL_REPORT_ID = 0x05 };

// A report read on a control handle that another collection of the same
// interface sent. On Linux every collection of an interface shares one hidraw
// node, so the mouse collection's motion reports (its own report id) arrive
// between the replies. Report id 0 is no report id (HID numbers reports from
// 1): a report that starts with 0 is taken as the control collection's own
// (an all-zero reply), which has its own handling.
inline bool isForeignReport(const quint8 *report, int length)
{
    return length > 0 && report[0] != CONTROL_REPORT_ID && report[0] != 0;
}

// One read of the control collection's next report, of at most `length`
// bytes, within `timeoutMs` (0 or more) counted from the call on the platform
// clock (platform::monotonicMs). Reports of other collections are read past
// at once, without a pause; when the time runs out with nothing else read,
// the result is that of a read that timed out empty (0). Only the report kept
// is copied into `reply`, so after a 0 the buffer holds what it held before,
// as after any empty read. A failed read call ends it with its negative
// result. `read(buffer, length, timeoutMs)` is the HID read call on the
// caller's handle.
using ReportReadCall = std::function<int(quint8 *buffer, int length, int timeoutMs)>;
int readControlReport(const ReportReadCall &read, quint8 *reply, int length, int timeoutMs);

// Sends one frame over the cable's control collection when open, else the
// receiver's; reads the echo back for commands <= 0x0A, 0x40 and 0x46 and
// retries within fixed budgets. Reports of other collections on the same
// handle are read past (readControlReport) and count for none of the budgets.
// Blocking.
quint8 sendFrame(const quint8 *frame, int length = FRAME_LENGTH);
inline quint8 sendFrame(const CommandFrame &f) { return sendFrame(f.buf, FRAME_LENGTH); }

// Every step of sendFrame produces a trace text that goes to this sink; the
// default one discards it. nullptr restores the default. The sink may be
// called from any thread that sends frames.
using TransportTraceSink = void (*)(const char *text);
void setTransportTraceSink(TransportTraceSink sink);
