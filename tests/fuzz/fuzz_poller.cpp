// The poller's reply parser: a run of the battery and status poller whose
// reads come from the input; it ends when the input does.

#include "device/poller.h"
#include "fakehid.h"
#include "fuzzenv.h"

namespace {

class PollerHere : public ZelGetBatteryThread {
public:
    void runHere() { run(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fakehid::openCable();
    PollerHere poller;
    int statusReports = 0;
    QObject::connect(&poller, &ZelGetBatteryThread::RefreshStatus, [&](quint8, quint8, quint8, quint8) {
        ++statusReports;
    });
    fakehid::setReplies(data, size);
    fakehid::setExhaustedHook([&poller] { poller.stop(); });
    poller.runHere();
    fakehid::setExhaustedHook(nullptr);
    return statusReports <= fakehid::reads().size() ? 0 : (abort(), 0);
}
