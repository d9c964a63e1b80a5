// Thumbnails for the photo list, made on worker threads and handed to the UI thread as they
// are ready. Scrolling never waits: a card asks, gets what is cached (or nothing yet) and is
// repainted when its thumbnail arrives. The newest requests are served first, so the cards on
// screen come before those scrolled past, and the queue is bounded.
//
// Memory is bounded too: every thumbnail lives in one cache with a budget in bytes; what
// falls out is made again when its card is shown again.
#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QThreadPool>
#include <deque>
#include <mutex>
#include <string>

namespace velview::viewer {

class ThumbnailProvider : public QObject {
    Q_OBJECT
public:
    // The large card's thumbnail area; the smaller sizes are scaled from it.
    static QSize AreaOf(int listSize) { return {listSize * 40 + 40, listSize * 30 + 30}; }

    explicit ThumbnailProvider(QObject* parent = nullptr, qint64 budgetBytes = qint64(160) << 20);
    ~ThumbnailProvider() override;

    // The thumbnail of `photo` for list size 1..3, or for the four-up cell (size 4); a null
    // image while it is being made. `failed` tells that the file could not be read.
    QImage Get(int photo, const std::string& path, int listSize, QSize cell, bool* failed);
    // Forgets everything (a new load); results still on their way are dropped.
    void Clear();
    // Waits until every queued request is done (tests, benchmarks).
    void WaitIdle();
    int QueuedCount();

signals:
    void Ready(int photo);

private:
    struct Request {
        int photo;
        std::string path;
        bool fourUp;
        QSize size;
        quint64 generation;
    };
    static qint64 Key(int photo, int listSize) { return qint64(photo) * 8 + listSize; }
    void Enqueue(Request r);
    void Work();
    void Deliver(quint64 generation, int photo, bool fourUp, QImage image);

    QCache<qint64, QImage> cache_;
    QSet<qint64> pending_;
    QSet<int> failed_;
    QSize fourUpCell_;
    quint64 generation_ = 0;

    std::mutex mutex_;  // guards queue_ and running_
    std::deque<Request> queue_;
    int running_ = 0;
    QThreadPool pool_;
};

}  // namespace velview::viewer
