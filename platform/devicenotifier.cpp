#include "platform/devicenotifier.h"
#include "platform/udevnotifier.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<DeviceNotifierFactory> g_factory{nullptr};
} // namespace

DeviceNotifier::~DeviceNotifier() = default;

DeviceNotifier *createDeviceNotifier(QObject *parent)
{
    if (DeviceNotifierFactory factory = g_factory.load())
        return factory(parent);
    return new UdevNotifier(parent);
}

void setDeviceNotifierFactory(DeviceNotifierFactory factory)
{
    g_factory.store(factory);
}

} // namespace platform
