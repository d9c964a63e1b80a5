// The zoomable photo view: fit mode and the steps 25 % … 800 %, zooming around a point by
// click or wheel, dragging the picture by hand, one level of zoom undo. JPEG pictures are
// decoded off the UI thread at the scale the zoom needs and decoded again, finer, when the
// zoom grows; until then the coarser picture stands in.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <atomic>
#include <memory>
#include <string>

#include "imaging/zoom_model.h"

namespace velview::viewer {

class ZoomView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ZoomView(QWidget* parent = nullptr);
    ~ZoomView() override;

    // Shows a file (empty: nothing, or the medium placeholder when `medium` is not null).
    // Only JPEG, TIFF, MP4 and SVG files are shown; others get a note that the desktop's
    // application can open them.
    void ShowFile(const std::string& path, const QString& medium = QString());
    // Whether the view shows files of this kind.
    static bool Previewable(const std::string& path);
    bool ShowsNoPreviewNote() const { return noPreview_; }
    const std::string& File() const { return path_; }
    const ZoomModel& Model() const { return zoom_; }
    // 0 fit; > 0 factor; < 0 nearest step (see ZoomModel::SetZoom).
    void SetZoom(double value);
    void ZoomIn();
    void ZoomOut();
    // Back to the view before the last zoom (and again to the one after it).
    void UndoZoom();
    // The picture has arrived at the scale the zoom needs.
    bool Ready() const { return ready_; }
    // Another rendition is on its way (an edit runs): not ready until it is shown.
    void MarkPending() { ready_ = false; }
    const QImage& Image() const { return image_; }
    int ImageScale() const { return imageScale_; }
    // The gestures made with both buttons held, by the direction of the drag: down-right zooms
    // to the rectangle, up-right goes back to the previous view, down-left and up-left fit the
    // picture (paper and extents of CAD drawings are fitted the same way). `to` is the release
    // point; both points are in view coordinates.
    void Gesture(QPoint from, QPoint to);
    // The view position (scroll offsets), for tests.
    QPoint ScrollPosition() const;

signals:
    void ZoomChanged();
    void Shown();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    struct SavedView {
        double zoom = -1;
        QPoint scroll;
    };
    void Relayout(QPointF anchor);
    void RequestDecode(int scale);
    void Deliver(quint64 serial, int width, int height, int scale, QImage image, bool failed);
    QRect PictureRect() const;  // in content coordinates
    void SaveView();
    void ZoomAround(QPointF viewportPoint, double value, bool step, bool in);
    void UpdateCursor();

    std::string path_;
    QString medium_;
    bool noPreview_ = false;  // a kind of file the view does not show
    ZoomModel zoom_;
    QImage image_;
    int imageScale_ = -1;
    bool ready_ = true;
    bool failed_ = false;
    bool decoding_ = false;
    int pendingScale_ = -1;
    std::shared_ptr<std::atomic<quint64>> serial_ = std::make_shared<std::atomic<quint64>>(0);
    SavedView saved_, undo_;
    QPoint pressAt_;
    QPoint lastDrag_;
    bool dragging_ = false;
    Qt::MouseButtons pressed_;
    // Both buttons down: a gesture from pressAt_; its kind is the direction of the drag.
    bool gesture_ = false;
    QPoint gestureAt_;
    void FinishGesture(QPoint at);
    void ZoomToRect(QRect r);
};

}  // namespace velview::viewer
