#include "viewer/thumbnail_provider.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "viewer/raster_image.h"
#include "imaging/thumbnail.h"

namespace velview::viewer {
namespace {

// Requests beyond this many are the oldest ones, for cards long scrolled past.
constexpr std::size_t kMaxQueued = 256;


}  // namespace

ThumbnailProvider::ThumbnailProvider(QObject* parent, qint64 budgetBytes) : QObject(parent) {
    cache_.setMaxCost(budgetBytes);
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailProvider::~ThumbnailProvider() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
    }
    pool_.waitForDone();
}

QImage ThumbnailProvider::Get(int photo, const std::string& path, int listSize, QSize cell, bool* failed) {
    if (failed) *failed = failed_.contains(photo);
    if (failed_.contains(photo)) return {};
    if (listSize == 4) {
        if (cell != fourUpCell_) {
            // A new cell size makes every four-up thumbnail stale.
            for (const qint64 k : cache_.keys())
                if (k % 8 == 4) cache_.remove(k);
            fourUpCell_ = cell;
        }
        if (const QImage* i = cache_.object(Key(photo, 4))) return *i;
        if (!pending_.contains(Key(photo, 4))) Enqueue({photo, path, true, cell, generation_});
        return {};
    }
    if (const QImage* i = cache_.object(Key(photo, listSize))) return *i;
    const QImage* large = cache_.object(Key(photo, 3));
    if (!large) {
        if (!pending_.contains(Key(photo, 3))) Enqueue({photo, path, false, AreaOf(3), generation_});
        return {};
    }
    const QSize area = AreaOf(listSize);
    auto* scaled = new QImage(large->scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    const QImage result = *scaled;
    cache_.insert(Key(photo, listSize), scaled, scaled->sizeInBytes());
    return result;
}

void ThumbnailProvider::Enqueue(Request r) {
    pending_.insert(Key(r.photo, r.fourUp ? 4 : 3));
    bool start = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(r));
        while (queue_.size() > kMaxQueued) {
            const Request& old = queue_.front();
            // Dropped: asked for again when its card is painted again.
            QMetaObject::invokeMethod(this, [this, key = Key(old.photo, old.fourUp ? 4 : 3)] { pending_.remove(key); },
                                      Qt::QueuedConnection);
            queue_.pop_front();
        }
        if (running_ < pool_.maxThreadCount()) {
            ++running_;
            start = true;
        }
    }
    if (start) pool_.start([this] { Work(); });
}

void ThumbnailProvider::Work() {
    TThumbNail maker;
    maker.outputMode = 1;
    for (;;) {
        Request r;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty()) {
                --running_;
                return;
            }
            r = std::move(queue_.back());
            queue_.pop_back();
        }
        maker.targetWidth = r.size.width();
        maker.targetHeight = r.size.height();
        QImage image;
        if (!r.path.empty() && maker.MakeFromFile(r.path)) image = ToQImage(maker.Result());
        QMetaObject::invokeMethod(
            this, [this, g = r.generation, p = r.photo, f = r.fourUp, i = std::move(image)]() mutable { Deliver(g, p, f, std::move(i)); },
            Qt::QueuedConnection);
    }
}

void ThumbnailProvider::Deliver(quint64 generation, int photo, bool fourUp, QImage image) {
    if (generation != generation_) return;
    const qint64 key = Key(photo, fourUp ? 4 : 3);
    pending_.remove(key);
    if (image.isNull()) {
        failed_.insert(photo);
    } else {
        auto* copy = new QImage(std::move(image));
        cache_.insert(key, copy, copy->sizeInBytes());
    }
    emit Ready(photo);
}

void ThumbnailProvider::Clear() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
    }
    ++generation_;
    cache_.clear();
    pending_.clear();
    failed_.clear();
}

void ThumbnailProvider::WaitIdle() { pool_.waitForDone(); }

int ThumbnailProvider::QueuedCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(queue_.size()) + running_;
}

}  // namespace velview::viewer
