#include "viewer/photo_display.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstring>

#include "imaging/thumbnail.h"
#include "viewer/icons.h"

namespace velview::viewer {

PhotoCanvas::PhotoCanvas(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
    setAutoFillBackground(false);
}

PhotoCanvas::~PhotoCanvas() { ++*serial_; }

void PhotoCanvas::SetFile(const std::string& path, const QString& medium) {
    path_ = path;
    medium_ = medium;
    image_ = QImage();
    failed_ = false;
    Request();
    update();
}

void PhotoCanvas::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!path_.empty()) Request();
}

void PhotoCanvas::Request() {
    const quint64 serial = ++*serial_;
    if (path_.empty()) {
        ready_ = true;
        return;
    }
    ready_ = false;
    const qreal ratio = devicePixelRatioF();
    const QSize target = (size() * ratio).expandedTo(QSize(64, 48));
    QPointer<PhotoCanvas> self(this);
    QThreadPool::globalInstance()->start([self, current = serial_, serial, path = path_, target, ratio] {
        // The pane may have moved on already: then the decode is not worth doing.
        if (*current != serial) return;
        TThumbNail fit;
        fit.outputMode = 1;
        fit.useExifThumbnails = false;
        fit.targetWidth = target.width();
        fit.targetHeight = target.height();
        QImage image;
        if (fit.MakeFromFile(path)) {
            const Raster& r = fit.Result();
            image = QImage(r.width, r.height, QImage::Format_RGB888);
            for (int y = 0; y < r.height; ++y)
                std::memcpy(image.scanLine(y), r.rgb.data() + std::size_t(y) * std::size_t(r.width) * 3, std::size_t(r.width) * 3);
            image.setDevicePixelRatio(ratio);
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, serial, image = std::move(image)]() mutable {
                if (!self || *self->serial_ != serial) return;
                self->failed_ = image.isNull();
                self->image_ = std::move(image);
                self->ready_ = true;
                self->update();
                emit self->Shown();
            },
            Qt::QueuedConnection);
    });
}

void PhotoCanvas::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.fillRect(rect(), QColor(0x40, 0x40, 0x40));
    if (!image_.isNull()) {
        const QSizeF logical = QSizeF(image_.size()) / image_.devicePixelRatio();
        const QSizeF s = logical.scaled(QSizeF(size()), Qt::KeepAspectRatio);
        const QRectF target((width() - s.width()) / 2, (height() - s.height()) / 2, s.width(), s.height());
        g.setRenderHint(QPainter::SmoothPixmapTransform);
        g.drawImage(target, image_);
    } else if (path_.empty() && !medium_.isNull()) {
        // A photo whose file is not at hand: the medium to insert.
        g.setPen(Qt::white);
        QFont f = font();
        f.setPixelSize(14);
        g.setFont(f);
        g.drawText(rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("メディア番号"));
        f.setPixelSize(32);
        g.setFont(f);
        g.drawText(rect().adjusted(0, 40, 0, 0), Qt::AlignCenter, medium_);
    } else if (failed_) {
        g.setPen(Qt::white);
        g.drawText(rect(), Qt::AlignCenter, QStringLiteral("この写真は表示できません"));
    }
}

PhotoDisplay::PhotoDisplay(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    canvas_ = new PhotoCanvas(this);
    layout->addWidget(canvas_, 1);
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(4, 2, 4, 2);
    prior_ = new QToolButton(this);
    prior_->setIcon(ToolIcon("prior"));
    prior_->setToolTip(QStringLiteral("前の写真"));
    next_ = new QToolButton(this);
    next_->setIcon(ToolIcon("next"));
    next_->setToolTip(QStringLiteral("次の写真"));
    counter_ = new QLabel(QStringLiteral("0/0"), this);
    counter_->setMinimumWidth(80);
    counter_->setAlignment(Qt::AlignCenter);
    strip->addStretch(1);
    strip->addWidget(prior_);
    strip->addWidget(counter_);
    strip->addWidget(next_);
    strip->addStretch(1);
    layout->addLayout(strip);
    connect(prior_, &QToolButton::clicked, this, &PhotoDisplay::PriorClicked);
    connect(next_, &QToolButton::clicked, this, &PhotoDisplay::NextClicked);
    setMinimumHeight(200);
}

void PhotoDisplay::SetPhoto(const std::string& path, const QString& medium) { canvas_->SetFile(path, medium); }
void PhotoDisplay::Clear() { canvas_->SetFile({}, {}); }
void PhotoDisplay::SetCounter(const QString& text) { counter_->setText(text); }
QString PhotoDisplay::Counter() const { return counter_->text(); }
void PhotoDisplay::SetPriorNextEnabled(bool prior, bool next) {
    prior_->setEnabled(prior);
    next_->setEnabled(next);
}

}  // namespace velview::viewer
