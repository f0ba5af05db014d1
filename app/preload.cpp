#include "app/preload.h"

#include <QHash>
#include <QImageReader>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using Pictures = QVector<QImage>;

struct Preloads {
    std::mutex mutex;
    QHash<QString, std::shared_future<Pictures>> pending;
    // The readers started; each is waited for at exit.
    std::vector<std::future<void>> readers;
};

Preloads &preloads()
{
    static Preloads p;
    return p;
}

// As a pixmap keeps it: a picture with an alpha channel premultiplied (in
// place, not in a second copy), so the window's thread makes a pixmap of it
// without converting it.
QImage asDrawn(QImage image)
{
    if (image.hasAlphaChannel())
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

Pictures readPictures(const QString &path)
{
    Pictures out;
    QImageReader reader(path);
    QImage image;
    while (reader.read(&image)) {
        out.append(asDrawn(std::move(image)));
        image = QImage();
        if (!reader.jumpToNextImage())
            break;
    }
    return out;
}

std::shared_future<Pictures> takePreload(const QString &path)
{
    Preloads &p = preloads();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.pending.take(path);
}

} // namespace

void preloadImages(const QStringList &paths)
{
    Preloads &p = preloads();
    std::lock_guard<std::mutex> lock(p.mutex);
    auto promises = std::make_shared<std::vector<std::pair<QString, std::promise<Pictures>>>>();
    for (const QString &path : paths) {
        if (p.pending.contains(path))
            continue;
        promises->emplace_back(path, std::promise<Pictures>());
        p.pending.insert(path, promises->back().second.get_future().share());
    }
    if (promises->empty())
        return;
    // One reader for the list: on a machine of two cores a second one would
    // only take turns with the window being built.
    p.readers.push_back(std::async(std::launch::async, [promises] {
        // Each promise goes once kept, so a picture lives only as long as
        // somebody holds it.
        for (auto &item : *promises) {
            item.second.set_value(readPictures(item.first));            item.second = std::promise<Pictures>();
        }
    }));
}

QImage takeImage(const QString &path)
{
    const std::shared_future<Pictures> started = takePreload(path);
    if (!started.valid())
        return asDrawn(QImage(path));
    const Pictures &pictures = started.get();
    return pictures.isEmpty() ? QImage() : pictures.first();
}

QVector<QImage> takeImages(const QString &path)
{
    const std::shared_future<Pictures> started = takePreload(path);
    return started.valid() ? started.get() : readPictures(path);
}

void dropPreloads()
{
    Preloads &p = preloads();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.pending.clear();
}
