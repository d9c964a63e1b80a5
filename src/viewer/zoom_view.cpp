#include "viewer/zoom_view.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QThreadPool>
#include <QWheelEvent>
#include <cmath>
#include <cstring>

#include "common/file_io.h"
#include "viewer/raster_image.h"
#include "imaging/graphic_info.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"
#include "viewer/icons.h"

namespace velview::viewer {
namespace {

constexpr int kMargin = 8;  // around the picture: the frame and its shadow


bool IsJpegName(const std::string& p) {
    const auto dot = p.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string e = p.substr(dot);
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e == ".jpg" || e == ".jpeg";
}

// The loupe: a lens with a plus, a minus, both, or a hand.
QCursor Loupe(const char* sign) {
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::white, 4));
    g.drawEllipse(QPointF(12, 12), 8, 8);
    g.drawLine(QPointF(18, 18), QPointF(28, 28));
    g.setPen(QPen(Qt::black, 2));
    g.drawEllipse(QPointF(12, 12), 8, 8);
    g.drawLine(QPointF(18, 18), QPointF(28, 28));
    g.setPen(QPen(Qt::black, 1.5));
    const QString s = QString::fromUtf8(sign);
    if (s.contains('+')) g.drawLine(QPointF(12, 8), QPointF(12, 16));
    if (s.contains('+') || s.contains('-')) g.drawLine(QPointF(8, 12), QPointF(16, 12));
    return QCursor(p, 12, 12);
}

}  // namespace

ZoomView::ZoomView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

ZoomView::~ZoomView() { ++*serial_; }

QPoint ZoomView::ScrollPosition() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

bool ZoomView::Previewable(const std::string& path) {
    return TGraphicInfo::Instance().IsOneOf(path, {GraphicKind::Jpeg, GraphicKind::Tiff, GraphicKind::Mp4, GraphicKind::Svg});
}

void ZoomView::ShowFile(const std::string& path, const QString& medium) {
    path_ = path;
    medium_ = medium;
    noPreview_ = !path.empty() && IsRegularFile(path) && !Previewable(path);
    image_ = QImage();
    imageScale_ = -1;
    failed_ = false;
    undo_ = SavedView{};
    zoom_.SetPicture(0, 0);
    ++*serial_;
    decoding_ = false;
    pendingScale_ = -1;
    if (path.empty() || noPreview_) {
        ready_ = true;
        Relayout({-1, -1});
        viewport()->update();
        emit ZoomChanged();
        emit Shown();
        return;
    }
    // The first decode is for fit mode at the view's present size.
    ready_ = false;
    RequestDecode(-1);
    Relayout({-1, -1});
    viewport()->update();
}

void ZoomView::RequestDecode(int scale) {
    if (decoding_) {
        pendingScale_ = scale;
        return;
    }
    decoding_ = true;
    const quint64 serial = *serial_;
    const QSize space = viewport()->size() * devicePixelRatioF() - QSize(2 * kMargin, 2 * kMargin);
    QPointer<ZoomView> self(this);
    QThreadPool::globalInstance()->start([self, current = serial_, serial, path = path_, scale, space] {
        if (*current != serial) return;
        int w = 0, h = 0, k = 0;
        QImage image;
        bool failed = false;
        try {
            if (IsJpegName(path)) {
                const std::string bytes = ReadRegularFile(path, std::uint64_t(512) << 20);
                failed = !JpegHeaderSize(bytes, w, h);
                if (!failed) {
                    k = scale;
                    if (k < 0) {
                        // Fit mode at this size: the scale the zoom model picks.
                        ZoomModel z;
                        z.SetPicture(w, h);
                        z.SetSpace(space.width(), space.height());
                        k = z.DecoderScale();
                    }
                    image = ToQImage(DecodeJpeg(bytes, 1 << k));
                    failed = image.isNull();
                }
            } else {
                Picture picture;
                failed = LoadPictureFile(path, picture, false) != 0 || picture.raster.Empty();
                if (!failed) {
                    image = ToQImage(picture.raster);
                    w = image.width();
                    h = image.height();
                }
            }
        } catch (const std::exception&) {
            failed = true;
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, serial, w, h, k, image = std::move(image), failed]() mutable {
                if (self) self->Deliver(serial, w, h, k, std::move(image), failed);
            },
            Qt::QueuedConnection);
    });
}

void ZoomView::Deliver(quint64 serial, int width, int height, int scale, QImage image, bool failed) {
    if (serial != *serial_) return;
    decoding_ = false;
    if (failed) {
        failed_ = true;
        ready_ = true;
        viewport()->update();
        emit ZoomChanged();
        emit Shown();
        return;
    }
    const bool first = imageScale_ < 0;
    image_ = std::move(image);
    imageScale_ = scale;
    if (first) {
        zoom_.SetPicture(width, height);
        Relayout({-1, -1});
        emit ZoomChanged();
    }
    if (pendingScale_ >= 0 && pendingScale_ < imageScale_) {
        const int next = pendingScale_;
        pendingScale_ = -1;
        RequestDecode(next);
    }
    ready_ = !decoding_ && (zoom_.DecoderScale() >= imageScale_ || !IsJpegName(path_));
    viewport()->update();
    if (first) emit Shown();
}

QRect ZoomView::PictureRect() const {
    const int w = zoom_.ShownWidth(), h = zoom_.ShownHeight();
    const int bw = std::max(w + 2 * kMargin, viewport()->width());
    const int bh = std::max(h + 2 * kMargin, viewport()->height());
    return QRect((bw - w) / 2, (bh - h) / 2, w, h);
}

void ZoomView::Relayout(QPointF anchor) {
    const double before = zoom_.Effective();
    const QPoint oldScroll = ScrollPosition();
    const QSize v = viewport()->size();
    zoom_.SetSpace(v.width() - 2 * kMargin, v.height() - 2 * kMargin);
    const QRect pic = PictureRect();
    const int bw = std::max(pic.width() + 2 * kMargin, v.width());
    const int bh = std::max(pic.height() + 2 * kMargin, v.height());
    horizontalScrollBar()->setRange(0, std::max(0, bw - v.width()));
    verticalScrollBar()->setRange(0, std::max(0, bh - v.height()));
    horizontalScrollBar()->setPageStep(v.width());
    verticalScrollBar()->setPageStep(v.height());
    if (before > 0 && zoom_.Effective() > 0) {
        // The anchor (default: the window centre) keeps its place in the picture and comes
        // to the centre of the window.
        if (anchor.x() < 0) anchor = QPointF(v.width() / 2.0, v.height() / 2.0);
        const double f = zoom_.Effective() / before;
        const QPointF content = (anchor + QPointF(oldScroll)) * f;
        horizontalScrollBar()->setValue(static_cast<int>(std::lround(content.x() - v.width() / 2.0)));
        verticalScrollBar()->setValue(static_cast<int>(std::lround(content.y() - v.height() / 2.0)));
    }
    // A finer picture when the zoom needs one.
    if (!path_.empty() && imageScale_ >= 0 && IsJpegName(path_) && zoom_.DecoderScale() < imageScale_) {
        ready_ = false;
        RequestDecode(zoom_.DecoderScale());
    }
    UpdateCursor();
    viewport()->update();
}

void ZoomView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    Relayout({-1, -1});
}

void ZoomView::SaveView() { saved_ = {zoom_.Requested(), ScrollPosition()}; }

void ZoomView::SetZoom(double value) {
    SaveView();
    if (!zoom_.SetZoom(value)) return;
    if (std::abs(saved_.zoom - zoom_.Requested()) >= 0.001) undo_ = saved_;
    Relayout({-1, -1});
    emit ZoomChanged();
}

void ZoomView::ZoomIn() { ZoomAround({-1, -1}, 0, true, true); }
void ZoomView::ZoomOut() { ZoomAround({-1, -1}, 0, true, false); }

void ZoomView::ZoomAround(QPointF point, double value, bool step, bool in) {
    SaveView();
    const bool changed = step ? (in ? zoom_.ZoomIn() : zoom_.ZoomOut()) : zoom_.SetZoom(value);
    if (!changed) return;
    if (std::abs(saved_.zoom - zoom_.Requested()) >= 0.001) undo_ = saved_;
    Relayout(point);
    emit ZoomChanged();
}

void ZoomView::UndoZoom() {
    if (undo_.zoom < 0) return;
    const SavedView back{zoom_.Requested(), ScrollPosition()};
    zoom_.SetZoom(undo_.zoom);
    Relayout({-1, -1});
    horizontalScrollBar()->setValue(undo_.scroll.x());
    verticalScrollBar()->setValue(undo_.scroll.y());
    undo_ = back;  // the gesture toggles between the two views
    emit ZoomChanged();
}

void ZoomView::UpdateCursor() {
    if (!zoom_.HasPicture()) {
        viewport()->unsetCursor();
        return;
    }
    const bool in = zoom_.CanZoomIn();
    const bool out = std::abs(zoom_.Effective() - std::min(zoom_.FitScale(), ZoomModel::kMinimum)) >= 0.01;
    viewport()->setCursor(Loupe(in && out ? "+-" : (in ? "+" : "-")));
}

void ZoomView::mousePressEvent(QMouseEvent* e) {
    pressed_ |= e->buttons();
    if (e->buttons() == e->button()) {
        pressAt_ = e->position().toPoint();
        lastDrag_ = pressAt_;
        dragging_ = false;
    }
    if ((e->buttons() & Qt::LeftButton) && (e->buttons() & Qt::RightButton)) {
        gesture_ = true;
        gestureAt_ = e->position().toPoint();
        dragging_ = false;
    }
}

void ZoomView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (gesture_) {
        gestureAt_ = p;
        viewport()->update();
        return;
    }
    if (!(e->buttons() & Qt::LeftButton) || pressed_ != Qt::LeftButton) return;
    if (!dragging_ && (std::abs(p.x() - pressAt_.x()) > 10 || std::abs(p.y() - pressAt_.y()) > 10)) {
        dragging_ = true;
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    if (dragging_) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + lastDrag_.x() - p.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() + lastDrag_.y() - p.y());
        lastDrag_ = p;
    }
}

void ZoomView::mouseReleaseEvent(QMouseEvent* e) {
    const bool wasDrag = dragging_;
    dragging_ = false;
    if (e->buttons() != Qt::NoButton) return;  // a button is still down
    pressed_ = Qt::NoButton;
    if (gesture_) {
        gesture_ = false;
        viewport()->update();
        // Carried out only when released over the view.
        if (viewport()->rect().contains(e->position().toPoint())) Gesture(pressAt_, e->position().toPoint());
        UpdateCursor();
        return;
    }
    if (wasDrag) {
        UpdateCursor();
        return;
    }
    const QPointF at = e->position();
    if (e->button() == Qt::LeftButton && zoom_.CanZoomIn()) ZoomAround(at, 0, true, true);
    if (e->button() == Qt::RightButton && zoom_.CanZoomOut()) ZoomAround(at, 0, true, false);
}

void ZoomView::Gesture(QPoint from, QPoint to) {
    const int dx = to.x() - from.x(), dy = to.y() - from.y();
    if (dx >= 0 && dy >= 0) {
        ZoomToRect(QRect(from, to).normalized());
    } else if (dx > 0 && dy < 0) {
        UndoZoom();
    } else {
        SetZoom(0);
    }
}

void ZoomView::ZoomToRect(QRect r) {
    if (!zoom_.HasPicture() || zoom_.Effective() >= zoom_.MaximumZoom() || r.width() < 2 || r.height() < 2) return;
    SaveView();
    const QSize v = viewport()->size();
    // The rectangle fills the window along its limiting direction.
    const double e = zoom_.Effective();
    const double z = std::min(zoom_.MaximumZoom(), e * std::min(static_cast<double>(v.width()) / r.width(), static_cast<double>(v.height()) / r.height()));
    const QPointF centre = QPointF(r.center()) + QPointF(ScrollPosition());
    const QRect before = PictureRect();
    if (!zoom_.SetZoom(z)) return;
    if (std::abs(saved_.zoom - zoom_.Requested()) >= 0.001) undo_ = saved_;
    Relayout({-1, -1});
    const QRect after = PictureRect();
    // The rectangle's centre, in picture units, comes to the window centre.
    const QPointF inPicture = (centre - QPointF(before.topLeft())) / e;
    const QPointF target = QPointF(after.topLeft()) + inPicture * zoom_.Effective();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(target.x() - v.width() / 2.0)));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(target.y() - v.height() / 2.0)));
    emit ZoomChanged();
}

void ZoomView::wheelEvent(QWheelEvent* e) {
    if (pressed_ != Qt::NoButton || !zoom_.HasPicture()) return;
    const double eff = zoom_.Effective();
    const double value = e->angleDelta().y() > 0 ? std::min(zoom_.MaximumZoom(), 1.2 * eff) : std::max(ZoomModel::kMinimum, 0.8 * eff);
    ZoomAround(e->position(), value, false, false);
}

void ZoomView::paintEvent(QPaintEvent* e) {
    QPainter g(viewport());
    const QColor face = palette().color(QPalette::Button);
    g.fillRect(e->rect(), face);
    if (path_.empty()) {
        if (!medium_.isNull()) {
            // A photo on another medium: which one to insert.
            g.setPen(Qt::black);
            QFont f = font();
            f.setPixelSize(14);
            g.setFont(f);
            g.drawText(viewport()->rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("メディア番号"));
            f.setPixelSize(32);
            g.setFont(f);
            g.drawText(viewport()->rect().adjusted(0, 40, 0, 0), Qt::AlignCenter, medium_);
        }
        return;
    }
    if (noPreview_) {
        // The note in a small box at the top left, as for every file the view does not show.
        const QRect box(8, 8, 85, 85);
        g.fillRect(box, palette().color(QPalette::Base));
        g.setPen(QColor(0x80, 0x00, 0x00));
        QFont f = font();
        f.setPointSize(7);
        g.setFont(f);
        const char* const lines[] = {"このファイルは", "プレビュー表示", "できません。", "関連付けされた", "アプリケーショ", "ンで開くことが", "できます。"};
        for (int i = 0; i < 7; ++i) g.drawText(box.left() + 5, box.top() + 4 + 10 * i + 8, QString::fromUtf8(lines[i]));
        return;
    }
    if (failed_) {
        g.setPen(QColor(0x80, 0x00, 0x00));
        g.drawText(viewport()->rect(), Qt::AlignCenter, QStringLiteral("この写真は表示できません"));
        return;
    }
    if (image_.isNull() || !zoom_.HasPicture()) return;
    const QRect pic = PictureRect().translated(-ScrollPosition());
    // A white frame and a shadow line, then the visible part of the picture.
    g.fillRect(pic.adjusted(-3, -3, 3, 3), Qt::white);
    g.setPen(palette().color(QPalette::Shadow));
    g.drawLine(pic.right() + 4, pic.top() - 2, pic.right() + 4, pic.bottom() + 4);
    g.drawLine(pic.left() - 2, pic.bottom() + 4, pic.right() + 4, pic.bottom() + 4);
    const QRect visible = pic.intersected(e->rect());
    if (visible.isEmpty()) return;
    // Both edges of the visible part in picture units, so that the part copied covers it.
    const double factor = static_cast<double>(pic.width()) / image_.width();
    const double factorY = static_cast<double>(pic.height()) / image_.height();
    const int sx = static_cast<int>(std::floor((visible.left() - pic.left()) / factor));
    const int sy = static_cast<int>(std::floor((visible.top() - pic.top()) / factorY));
    const int ex = std::min(image_.width(), static_cast<int>(std::ceil((visible.right() + 1 - pic.left()) / factor)));
    const int ey = std::min(image_.height(), static_cast<int>(std::ceil((visible.bottom() + 1 - pic.top()) / factorY)));
    const QRect source(sx, sy, std::max(1, ex - sx), std::max(1, ey - sy));
    const QRectF target(pic.left() + sx * factor, pic.top() + sy * factorY, source.width() * factor, source.height() * factorY);
    g.setRenderHint(QPainter::SmoothPixmapTransform, factor < 4);
    g.drawImage(target, image_, source);
    if (gesture_) {
        // The sign of the gesture the drag now makes, at its start.
        g.setRenderHint(QPainter::SmoothPixmapTransform, false);
        g.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        g.setPen(QPen(Qt::white, 2));
        g.setBrush(Qt::NoBrush);
        const int dx = gestureAt_.x() - pressAt_.x(), dy = gestureAt_.y() - pressAt_.y();
        if (dx >= 0 && dy >= 0) {
            g.drawRect(QRect(pressAt_, gestureAt_).normalized());
        } else if (dx > 0 && dy < 0) {
            g.drawRect(QRect(pressAt_ - QPoint(10, 10), QSize(20, 20)));
        } else if (dx < 0 && dy > 0) {
            g.drawRect(QRect(pressAt_ - QPoint(15, 15), QSize(30, 30)));
            g.drawLine(pressAt_ + QPoint(5, -5), pressAt_ + QPoint(15, -15));
        } else {
            g.drawRect(QRect(pressAt_ - QPoint(12, 12), QSize(25, 25)));
            g.drawRect(QRect(pressAt_ - QPoint(7, 7), QSize(15, 15)));
        }
    }
}

}  // namespace velview::viewer
