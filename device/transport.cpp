#include "device/transport.h"

#include "device/devicetable.h"
#include "device/logging.h"
#include "platform/clock.h"

#include <QDebug>
#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstring>

namespace {

enum {
    kPauseAfterWrite = 10,
    kReadTimeout = 150,
    kPauseBeforeReread = 50,
    kReadFailureBudget = 30,
    kRewriteBudget = 2,
    kAllZeroBudget = 5,
    kHeaderMismatchBudget = 20,
    kMaxData = FRAME_LENGTH - 8,   // data bytes a frame can carry
};

void discardTrace(const char *) {}

std::atomic<TransportTraceSink> g_sink{&discardTrace};

void trace(const char *format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

void trace(const char *format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    qvsnprintf(text, sizeof text, format, args);
    va_end(args);
    g_sink.load(std::memory_order_relaxed)(text);
}

// A closing text is followed by two texts of a single blank.
void traceClosing(const char *text)
{
    trace("%s", text);
    trace(" ");
    trace(" ");
}

void traceBytes(const char *what, int length, const quint8 *wire)
{
    char hex[FRAME_LENGTH * 3 + 1];
    for (int k = 0; k < FRAME_LENGTH; ++k)
        qsnprintf(hex + 3 * k, 4, k + 1 < FRAME_LENGTH ? "%02x " : "%02x", wire[k]);
    trace("%s length=%d data=%s", what, length, hex);
}

bool readsBack(quint8 command)
{
    return command <= 0x0A || command == 0x40 || command == 0x46;
}

} // namespace

CommandFrame CommandFrame::make(quint8 command, quint8 arg1, quint8 arg2, quint8 length, quint8 segment,
                                const quint8 *data)
{
    CommandFrame f;
    const quint8 n = std::min<quint8>(length, kMaxData);
    f.wire(0) = 0x05;
    f.wire(2) = 0xFA;
    f.wire(3) = command;
    f.wire(4) = arg1;
    f.wire(5) = arg2;
    f.wire(6) = n;
    f.wire(7) = segment;
    if (data && n)
        std::memcpy(&f.wire(8), data, n);
    return f;
}

EchoCheck checkEcho(const quint8 *sent, const quint8 *reply, int replyLength, bool compareData)
{
    const int n = std::min<int>(sent[6], kMaxData);
    const bool withData = compareData && n > 0;
    // Bytes 0..6 at least; the data bytes 8..8+n-1 when they are compared.
    const int needed = withData ? 8 + n : 7;
    if (replyLength < needed)
        return ECHO_SHORT;
    for (int k : {0, 2, 3, 4, 5, 6}) {
        if (reply[k] != sent[k])
            return ECHO_HEADER_MISMATCH;
    }
    if (!withData)
        return ECHO_MATCH;
    return std::memcmp(sent + 8, reply + 8, size_t(n)) == 0 ? ECHO_MATCH : ECHO_DATA_MISMATCH;
}

int readControlReport(const ReportReadCall &read, quint8 *reply, int length, int timeoutMs)
{
    quint8 report[FRAME_BUFFER] = {};
    length = std::clamp(length, 0, int(FRAME_BUFFER));
    const qint64 start = platform::monotonicMs();
    int wait = timeoutMs;
    for (;;) {
        const int got = read(report, length, wait);
        if (got <= 0)
            return got;
        if (!isForeignReport(report, got)) {
            std::memcpy(reply, report, size_t(std::min(got, length)));
            return got;
        }
        const qint64 left = timeoutMs - (platform::monotonicMs() - start);
        if (left <= 0)
            return 0;
        wait = int(left);
    }
}

quint8 frameChecksum(const quint8 *wire)
{
    unsigned sum = 0;
    for (int k = 2; k <= 7; ++k)
        sum += wire[k];
    return quint8((sum & 0xFF) ^ 0x66);
}

void setTransportTraceSink(TransportTraceSink sink)
{
    g_sink.store(sink ? sink : &discardTrace, std::memory_order_relaxed);
}

quint8 sendFrame(const quint8 *frame, int length)
{
    trace("开始发送--------------------------------------");

    // The cable whenever it is open. The opening number keeps every later call
    // on this very connection: after a close or a reopen the calls fail.
    DeviceSlot slot = WiredControl;
    quint64 opening;
    {
        DeviceLease wired(WiredControl);
        DeviceLease receiver(ReceiverControl);
        if (wired) {
            opening = wired.opening();
        } else if (receiver) {
            slot = ReceiverControl;
            opening = receiver.opening();
        } else {
            traceClosing("没找到设备，失败返回--------------------------------------");
            return SEND_NO_DEVICE;
        }
    }

    quint8 out[FRAME_BUFFER] = {};
    quint8 in[FRAME_BUFFER] = {};
    std::memcpy(out, frame, size_t(std::clamp(length, 0, FRAME_BUFFER - 1)) + 1);
    quint8 *const sent = out + 1;    // wire byte k at sent[k]
    quint8 *const reply = in + 1;
    sent[1] = frameChecksum(sent);
    const quint8 command = sent[3];

    int readFailures = 0;
    int rewrites = 0;
    int allZeroReplies = 0;
    int headerMismatches = 0;
    EchoCheck lastOutcome = ECHO_MATCH;
    bool compared = false;

    for (;;) {   // WRITE
        traceBytes("hid_write", FRAME_LENGTH, sent);
        int written;
        {
            DeviceLease lease(slot, opening);
            written = lease ? hid_write(lease.handle(), sent, FRAME_LENGTH) : -1;
        }
        if (written < 0) {
            traceClosing("hid_write发送失败--------------------------------------");
            qCDebug(lcDevice, "Unable to send a feature report.\n");
            return SEND_WRITE_FAILED;
        }
        platform::sleepMs(kPauseAfterWrite);
        if (!readsBack(command)) {
            traceClosing("发送成功--------------------------------------");
            return SEND_OK;
        }

        bool rewrite = false;
        while (!rewrite) {   // READ
            trace("hid_read开始");
            // Motion reports of the mouse collection sharing the handle are
            // no answer: read past them within the read's own time.
            const int got = readControlReport(
                [&](quint8 *buffer, int length, int timeoutMs) {
                    DeviceLease lease(slot, opening);
                    return lease ? hid_read_timeout(lease.handle(), buffer, size_t(length), timeoutMs) : -1;
                },
                reply, FRAME_LENGTH, kReadTimeout);
            if (got < 0) {
                trace("hid_read开始读失败 %d", readFailures);
                if (++readFailures < kReadFailureBudget) {
                    platform::sleepMs(kPauseBeforeReread);
                    trace("重新读");
                    continue;
                }
                trace("写失败 %d", rewrites);
                if (++rewrites <= kRewriteBudget) {
                    trace("重新写");
                    rewrite = true;
                    continue;
                }
                traceClosing("多次读失败，返回--------------------------------------");
                return SEND_VERIFY_FAILED;
            }
            traceBytes("hid_read", got, reply);

            EchoCheck outcome;
            if (std::all_of(reply, reply + 8, [](quint8 b) { return b == 0; })) {
                if (++allZeroReplies <= kAllZeroBudget) {
                    trace("对比位全为0，跳转到重新写");
                    rewrite = true;
                    continue;
                }
                // A device that never answered anything but zeros has not
                // taken the frame: that is a failure, not a success.
                if (!compared) {
                    traceClosing("对比位全为0多次，返回--------------------------------------");
                    return SEND_VERIFY_FAILED;
                }
                outcome = lastOutcome;
            } else if (got == 0 && compared) {
                // Nothing new arrived: the reply of an earlier read in this
                // call is still in the buffer and stands as it was judged.
                outcome = lastOutcome;
            } else {
                // Only what this read returned counts; a short report is
                // not an echo, whatever an earlier reply left behind it.
                outcome = checkEcho(sent, reply, got, command <= 0x0A);
                lastOutcome = outcome;
                compared = true;
            }

            if (outcome == ECHO_DATA_MISMATCH) {
                trace("数据位对比失败，重新写 %d", rewrites);
                if (++rewrites <= kRewriteBudget) {
                    allZeroReplies = 0;
                    rewrite = true;
                    continue;
                }
                traceClosing("数据位多次对比失败，返回--------------------------------------");
                return SEND_VERIFY_FAILED;
            }
            // A short report is treated like a foreign one: the device may
            // still be answering.
            if (outcome == ECHO_HEADER_MISMATCH || outcome == ECHO_SHORT) {
                if (++headerMismatches < kHeaderMismatchBudget) {
                    trace("指令位对比失败，重新读 %d", headerMismatches);
                    platform::sleepMs(kPauseBeforeReread);
                    allZeroReplies = 0;
                    continue;
                }
                trace("指令位对比失败，重新写 %d", rewrites);
                if (++rewrites <= kRewriteBudget) {
                    allZeroReplies = 0;
                    rewrite = true;
                    continue;
                }
                traceClosing("指令位多次对比失败，返回--------------------------------------");
                return SEND_VERIFY_FAILED;
            }
            traceClosing("发送成功--------------------------------------");
            return SEND_OK;
        }
    }
}
