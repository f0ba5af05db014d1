#include "app/preload.h"

#include <QHash>
#include <future>
#include <mutex>

namespace {

struct Preloads {
    std::mutex mutex;
    QHash<QString, std::shared_future<QImage>> pending;
};

Preloads &preloads()
{
    static Preloads p;
    return p;
}

} // namespace

void preloadImage(const QString &path)
{
    Preloads &p = preloads();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (p.pending.contains(path))
        return;
    p.pending.insert(path, std::async(std::launch::async, [path] { return QImage(path); }).share());
}

QImage takeImage(const QString &path)
{
    std::shared_future<QImage> started;
    {
        Preloads &p = preloads();
        std::lock_guard<std::mutex> lock(p.mutex);
        started = p.pending.take(path);
    }
    return started.valid() ? started.get() : QImage(path);
}
