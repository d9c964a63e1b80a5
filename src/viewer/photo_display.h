// The photo display pane: the zoomable view of the current photo or one of its reference
// drawings, the file-information strip, rotation and brightness through the edit pipeline,
// the photo / drawing switch, the photo counter and the previous / next buttons.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "viewer/zoom_view.h"

class QCheckBox;
class QStackedLayout;
class QLabel;
class QMenu;
class QToolButton;

namespace velview {
class TEditControler;
}

namespace velview::viewer {

using PhotoCanvas = ZoomView;

class PhotoDisplay : public QWidget {
    Q_OBJECT
public:
    explicit PhotoDisplay(QWidget* parent = nullptr);
    ~PhotoDisplay() override;

    // The photo file (empty when not at hand: then `medium` names the medium to insert) and
    // the record's reference drawings (empty names for drawings not at hand).
    void SetPhoto(const std::string& path, const QString& medium, std::vector<std::string> drawings = {});
    void Clear();
    void SetCounter(const QString& text);
    QString Counter() const;
    void SetPriorNextEnabled(bool prior, bool next);
    // 0 the photo, n drawing n.
    void SelectView(int view);
    int View() const { return view_; }
    int DrawingCount() const { return static_cast<int>(drawings_.size()); }
    void Rotate(bool clockwise);
    void SetRotation(int angle);
    int Rotation() const;
    // -5 ("+5") … 3 ("-3").
    void SetBrightness(int step);
    int Brightness() const;
    // The file the view shows (the edited rendition after a rotation or brightness change).
    const std::string& ShownFile() const { return canvas_->File(); }
    bool EditsEnabled() const;
    // An edit (rotation, brightness, SVG parts) is being made.
    bool EditBusy() const { return editBusy_; }
    // For a video file: whether it can be played here, and whether it plays.
    bool CanPlay() const;
    bool Playing() const;
    // The medium or construction folder: only files inside it are handed to other programs.
    void SetDeliveryRoot(const std::string& root) { root_ = root; }
    // The file-information strip ("ファイル情報表示"), kept between runs.
    void SetStripVisible(bool on);
    bool StripVisible() const;
    // The SVG part switches: 1 the annotation ("注釈"), 2 the blackboard ("黒板").
    void SetSvgPart(int part, bool on);

    ZoomView* Canvas() const { return canvas_; }
    QToolButton* PriorButton() const { return prior_; }
    QToolButton* NextButton() const { return next_; }
    QString StripText() const;

signals:
    void PriorClicked();
    void NextClicked();
    void Rotated(int angle);
    void ViewChanged(int view);
    void Shown();
    void ZoomChanged();

private:
    void ShowCurrent();
    void FillStrip(const std::string& path);
    void UpdateButtons();

    ZoomView* canvas_;
    // The edit pipeline runs on a worker thread; its state is shared with the worker, and
    // the pane keeps the state it asked for.
    struct EditJob;
    std::shared_ptr<EditJob> job_;
    int rotation_ = 0;
    int brightness_ = 0;
    bool parts_[3] = {true, true, true};
    quint64 editSerial_ = 0;
    bool editBusy_ = false;
    bool editDirty_ = false;
    void ScheduleEdit();
    std::string photo_;
    QString medium_;
    std::vector<std::string> drawings_;
    int view_ = 0;
    int lastDrawing_ = 1;
    std::string pipelineSource_;
    QLabel* strip_[5] = {};
    QWidget* stripBox_ = nullptr;
    QCheckBox* stripToggle_ = nullptr;
    QCheckBox* blackboard_ = nullptr;
    QCheckBox* annotation_ = nullptr;
    std::string root_;
    QToolButton* photoButton_ = nullptr;
    QToolButton* drawingButton_ = nullptr;
    QMenu* drawingMenu_ = nullptr;
    QToolButton* rotateLeft_ = nullptr;
    QToolButton* rotateRight_ = nullptr;
    QToolButton* gamma_ = nullptr;
    QToolButton* play_ = nullptr;   // for a video: its playback
    QWidget* player_ = nullptr;     // made on the first play
    QStackedLayout* stack_ = nullptr;
    void PlayVideo();
    void StopVideo();
    QLabel* counter_ = nullptr;
    QToolButton* prior_ = nullptr;
    QToolButton* next_ = nullptr;
};

// The captions of the brightness steps -5 … 3.
QString BrightnessCaption(int step);

}  // namespace velview::viewer
