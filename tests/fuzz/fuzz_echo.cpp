// The transport's echo check: one command frame (from the input's first 29
// bytes) and whatever the device answers (the rest). A frame reported as sent
// must have been echoed by one whole reply on its own: header, and for the
// settings commands the data as well.

#include "device/transport.h"
#include "fakehid.h"
#include "fuzzenv.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fakehid::openCable();
    if (size < 29)
        return 0;
    const quint8 command = data[0];
    const quint8 length = data[3];
    const CommandFrame frame = CommandFrame::make(command, data[1], data[2], length, data[4], data + 4);
    fakehid::setReplies(data + 29, size - 29);
    const quint8 result = sendFrame(frame);
    const bool readsBack = command <= 0x0A || command == 0x40 || command == 0x46;
    if (result != SEND_OK || !readsBack)
        return 0;
    quint8 sent[FRAME_LENGTH];
    std::memcpy(sent, frame.buf + 1, FRAME_LENGTH);
    const int n = std::min<int>(sent[6], FRAME_LENGTH - 8);
    const bool withData = command <= 0x0A && n > 0;
    for (const fakehid::Read &r : fakehid::reads()) {
        const auto *b = reinterpret_cast<const quint8 *>(r.bytes.constData());
        if (r.got < 7)
            continue;
        bool match = true;
        for (int k : {0, 2, 3, 4, 5, 6})
            match = match && b[k] == sent[k];
        if (withData)
            match = match && r.got >= 8 + n && std::memcmp(b + 8, sent + 8, size_t(n)) == 0;
        if (match)
            return 0;
    }
    abort();   // success reported without an echo
}
