#pragma once
// A stand-in for the HID library in the device-link fuzz targets: one cabled
// mouse with its control collection, whose replies come from the fuzz input.
//
// Reply stream: a control byte per read; 0xFF is a failed read, any other
// value c gives a read of c % 34 bytes, taken from the stream (zero padded at
// its end). An exhausted stream calls the exhaustion hook and fails the read.

#include <QByteArray>
#include <QVector>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace fakehid {

struct Read {
    int got;              // what hid_read_timeout returned
    QByteArray bytes;     // the bytes it delivered
};

// Opens the simulated cable (once per process).
void openCable();
void setReplies(const uint8_t *data, size_t size);
void setExhaustedHook(std::function<void()> hook);
const QVector<Read> &reads();
int writes();

} // namespace fakehid
