// Frames per second through sendFrame against the simulated mouse, with the
// real pauses of the transport (10 ms after every write). Prints the rate of
// frames that are read back and compared, of frames that are not, and of a
// frame that needs one rewrite, next to the floor that the 10 ms pause sets.
// Prints figures only.
//
//   bench_transport [frames]   (default 200)

#include "device/devicetable.h"
#include "device/transport.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

const double kFloor = 1000.0 / 10.0;   // one 10 ms pause per write

void report(const char *what, int frames, const std::function<quint8(int)> &send)
{
    int failures = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i)
        failures += send(i) != SEND_OK;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double rate = frames / seconds;
    std::printf("%-34s %5d frames  %7.3f s  %7.1f frames/s  floor %5.1f  ratio %.3f%s\n", what, frames, seconds,
                rate, kFloor, rate / kFloor, failures ? "  (failures!)" : "");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 200;
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));

    QTemporaryDir dir;
    setApplicationDir(dir.path());
    setConfigsBase(dir.path() + QStringLiteral("/Configs"));
    sim::reset();
    sim::plug(sim::Side::Receiver);
    loadDeviceTable();
    enumerateDevices();
    openDevice("VELKOR");

    quint8 data[20];
    for (int k = 0; k < 20; ++k)
        data[k] = quint8(k * 7);
    report("macro packet (read back, data)", frames, [&](int i) {
        return sendFrame(CommandFrame::make(0x05, quint8(i * 20), quint8(i * 20 >> 8), 20, SEG_NEXT, data));
    });
    report("apply (read back, header only)", frames,
           [](int) { return sendFrame(CommandFrame::make(0x40, 0xF3, 0x01, 0, 0)); });
    report("DPI packet, one data mismatch", frames / 4, [&](int) {
        sim::injectEchoFault(sim::EchoFault::DataMismatch, 1);
        return sendFrame(CommandFrame::make(0x02, 6, 0, 5, SEG_NEXT, data));
    });

    // Last: their echoes are never read and stay queued (as on the device),
    // where they would delay the next read-back frames.
    report("select profile (not read back)", frames,
           [](int i) { return sendFrame(CommandFrame::make(0x44, quint8(i % 5), 0, 0, 0)); });
    closeDevice();
    shutdownDeviceLink();
    return 0;
}
