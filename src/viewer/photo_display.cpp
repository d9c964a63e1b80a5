#include "viewer/photo_display.h"

#include <QActionGroup>
#include <QStackedLayout>
#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>
#include <mutex>
#include <QCheckBox>
#include <QDesktopServices>
#include <QSignalBlocker>
#include <QUrl>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "browse/viewer_rules.h"
#include "checks/pct_file_info.h"
#include "common/ext_registry.h"
#include "common/file_io.h"
#include "imaging/edit_controller.h"
#include "viewer/icons.h"
#include "viewer/qt_text.h"
#ifdef VELVIEW_VIDEO
#include "viewer/video_player.h"
#endif

namespace velview::viewer {
namespace fs = std::filesystem;

namespace {
std::string LowerExtension(const std::string& p) {
    std::string e = fs::path(p).extension().string();
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}
}  // namespace

QString BrightnessCaption(int step) {
    if (step == 0) return QStringLiteral("0");
    return step < 0 ? QStringLiteral("+%1").arg(-step) : QStringLiteral(" -%1").arg(step);
}

struct PhotoDisplay::EditJob {
    std::mutex mutex;
    TEditControler edit;
};

PhotoDisplay::PhotoDisplay(QWidget* parent) : QWidget(parent), job_(std::make_shared<EditJob>()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* area = new QWidget(this);
    stack_ = new QStackedLayout(area);
    canvas_ = new ZoomView(area);
    stack_->addWidget(canvas_);
    layout->addWidget(area, 1);
    connect(canvas_, &ZoomView::ZoomChanged, this, [this] {
        UpdateButtons();
        emit ZoomChanged();
    });
    connect(canvas_, &ZoomView::Shown, this, [this] {
        UpdateButtons();
        emit Shown();
    });

    // The file-information strip.
    auto* strip = new QWidget(this);
    auto* s = new QGridLayout(strip);
    s->setContentsMargins(6, 2, 6, 2);
    s->setVerticalSpacing(0);
    stripToggle_ = new QCheckBox(QStringLiteral("ファイル情報表示"), strip);
    s->addWidget(stripToggle_, 0, 0);
    blackboard_ = new QCheckBox(QStringLiteral("黒板"), strip);
    annotation_ = new QCheckBox(QStringLiteral("注釈"), strip);
    s->addWidget(blackboard_, 0, 4);
    s->addWidget(annotation_, 0, 5);
    stripBox_ = new QWidget(strip);
    auto* info = new QGridLayout(stripBox_);
    info->setContentsMargins(0, 0, 0, 0);
    info->setVerticalSpacing(0);
    for (int i = 0; i < 5; ++i) {
        strip_[i] = new QLabel(stripBox_);
        info->addWidget(strip_[i], i / 3, i % 3);
    }
    info->setColumnStretch(2, 1);
    s->addWidget(stripBox_, 1, 0, 1, 6);
    s->setColumnStretch(3, 1);
    layout->addWidget(strip);
    connect(stripToggle_, &QCheckBox::toggled, this, [this](bool on) {
        stripBox_->setVisible(on);
        TExtRegistry("frmViewer").WriteBool("PctFileInfoVisible", on);
    });
    stripToggle_->setChecked(TExtRegistry("frmViewer").ReadBool("PctFileInfoVisible", true));
    stripBox_->setVisible(stripToggle_->isChecked());
    connect(blackboard_, &QCheckBox::toggled, this, [this](bool on) { SetSvgPart(2, on); });
    connect(annotation_, &QCheckBox::toggled, this, [this](bool on) { SetSvgPart(1, on); });

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    photoButton_ = new QToolButton(this);
    photoButton_->setText(QStringLiteral("写 真"));
    photoButton_->setToolTip(QStringLiteral("写真に切替"));
    photoButton_->setCheckable(true);
    drawingButton_ = new QToolButton(this);
    drawingButton_->setText(QStringLiteral("参考図1"));
    drawingButton_->setToolTip(QStringLiteral("参考図に切替"));
    drawingButton_->setCheckable(true);
    drawingMenu_ = new QMenu(this);
    connect(photoButton_, &QToolButton::clicked, this, [this] { SelectView(0); });
    connect(drawingButton_, &QToolButton::clicked, this, [this] {
        if (drawings_.size() > 1) {
            drawingButton_->setChecked(view_ > 0);
            drawingMenu_->popup(drawingButton_->mapToGlobal(QPoint(0, drawingButton_->height())));
        } else {
            SelectView(1);
        }
    });
    rotateLeft_ = new QToolButton(this);
    rotateLeft_->setText(QStringLiteral("左に回転"));
    rotateRight_ = new QToolButton(this);
    rotateRight_->setText(QStringLiteral("右に回転"));
    gamma_ = new QToolButton(this);
    gamma_->setText(QStringLiteral("明るさ補正"));
    gamma_->setPopupMode(QToolButton::InstantPopup);
    auto* gammaMenu = new QMenu(gamma_);
    auto* gammaGroup = new QActionGroup(gammaMenu);
    for (int step = -5; step <= 3; ++step) {
        QAction* a = gammaMenu->addAction(BrightnessCaption(step), this, [this, step] { SetBrightness(step); });
        a->setCheckable(true);
        a->setChecked(step == 0);
        a->setData(step);
        gammaGroup->addAction(a);
    }
    gamma_->setMenu(gammaMenu);
    play_ = new QToolButton(this);
    play_->setText(QStringLiteral("再生"));
    play_->setCheckable(true);
    play_->hide();
    connect(play_, &QToolButton::toggled, this, [this](bool on) {
        if (on) {
            PlayVideo();
        } else {
            StopVideo();
        }
    });
    connect(rotateLeft_, &QToolButton::clicked, this, [this] { Rotate(false); });
    connect(rotateRight_, &QToolButton::clicked, this, [this] { Rotate(true); });
    prior_ = new QToolButton(this);
    prior_->setIcon(ToolIcon("prior"));
    prior_->setToolTip(QStringLiteral("前の写真"));
    next_ = new QToolButton(this);
    next_->setIcon(ToolIcon("next"));
    next_->setToolTip(QStringLiteral("次の写真"));
    counter_ = new QLabel(QStringLiteral("0/0"), this);
    counter_->setMinimumWidth(80);
    counter_->setAlignment(Qt::AlignCenter);
    bar->addWidget(photoButton_);
    bar->addWidget(drawingButton_);
    bar->addSpacing(12);
    bar->addWidget(rotateLeft_);
    bar->addWidget(rotateRight_);
    bar->addWidget(gamma_);
    bar->addWidget(play_);
    bar->addStretch(1);
    bar->addWidget(prior_);
    bar->addWidget(counter_);
    bar->addWidget(next_);
    bar->addStretch(1);
    layout->addLayout(bar);
    connect(prior_, &QToolButton::clicked, this, &PhotoDisplay::PriorClicked);
    connect(next_, &QToolButton::clicked, this, &PhotoDisplay::NextClicked);
    setMinimumHeight(200);
    UpdateButtons();
}

PhotoDisplay::~PhotoDisplay() = default;

void PhotoDisplay::SetPhoto(const std::string& path, const QString& medium, std::vector<std::string> drawings) {
    photo_ = path;
    medium_ = medium;
    drawings_ = std::move(drawings);
    view_ = 0;
    if (lastDrawing_ > static_cast<int>(drawings_.size())) lastDrawing_ = 1;
    drawingMenu_->clear();
    for (int n = 1; n <= static_cast<int>(drawings_.size()); ++n)
        drawingMenu_->addAction(QStringLiteral("参考図%1").arg(n), this, [this, n] { SelectView(n); });
    ShowCurrent();
}

void PhotoDisplay::Clear() { SetPhoto({}, QString(), {}); }

void PhotoDisplay::SelectView(int view) {
    if (view < 0 || view > static_cast<int>(drawings_.size())) view = 0;
    if (view > 0) lastDrawing_ = view;
    view_ = view;
    ShowCurrent();
    emit ViewChanged(view_);
}

bool PhotoDisplay::CanPlay() const {
#ifdef VELVIEW_VIDEO
    const std::string& shown = view_ > 0 ? drawings_[static_cast<std::size_t>(view_ - 1)] : photo_;
    return LowerExtension(shown) == ".mp4" && IsRegularFile(shown);
#else
    return false;
#endif
}

bool PhotoDisplay::Playing() const {
#ifdef VELVIEW_VIDEO
    return player_ && static_cast<VideoPlayer*>(player_)->Playing();
#else
    return false;
#endif
}

void PhotoDisplay::PlayVideo() {
#ifdef VELVIEW_VIDEO
    if (!CanPlay()) return;
    if (!player_) {
        auto* player = new VideoPlayer(this);
        connect(player, &VideoPlayer::Finished, this, [this] { play_->setChecked(false); });
        player_ = player;
        stack_->addWidget(player_);
    }
    stack_->setCurrentWidget(player_);
    static_cast<VideoPlayer*>(player_)->Play(view_ > 0 ? drawings_[static_cast<std::size_t>(view_ - 1)] : photo_);
#endif
}

void PhotoDisplay::StopVideo() {
#ifdef VELVIEW_VIDEO
    if (player_) static_cast<VideoPlayer*>(player_)->Stop();
#endif
    // Back to the still.
    stack_->setCurrentWidget(canvas_);
}

void PhotoDisplay::ShowCurrent() {
    drawingButton_->setText(QStringLiteral("参考図%1").arg(lastDrawing_));
    if (play_->isChecked()) play_->setChecked(false);
    StopVideo();
    const std::string& shown = view_ > 0 ? drawings_[static_cast<std::size_t>(view_ - 1)] : photo_;
    if (view_ > 0) {
        const std::string& drawing = drawings_[static_cast<std::size_t>(view_ - 1)];
        FillStrip(drawing);
        canvas_->ShowFile(drawing, drawing.empty() ? QStringLiteral("") : QString());
    } else {
        // Another photo file starts the edit pipeline afresh: no rotation, no brightness.
        if (photo_ != pipelineSource_) {
            ++editSerial_;
            editDirty_ = false;
            rotation_ = 0;
            brightness_ = 0;
            parts_[0] = parts_[1] = parts_[2] = true;
            {
                // Waits for an edit of the previous photo that is still running.
                std::lock_guard<std::mutex> lock(job_->mutex);
                job_->edit.SetSourceFile(photo_);
            }
            pipelineSource_ = photo_;
            for (QAction* a : gamma_->menu()->actions()) a->setChecked(a->data().toInt() == 0);
        }
        FillStrip(photo_);
        canvas_->ShowFile(photo_, medium_);
        if (rotation_ != 0 || brightness_ != 0 || !parts_[1] || !parts_[2]) ScheduleEdit();
    }
    const bool svg = LowerExtension(shown) == ".svg";
    blackboard_->setVisible(svg);
    annotation_->setVisible(svg);
    {
        const QSignalBlocker a(blackboard_), b(annotation_);
        blackboard_->setChecked(view_ > 0 || parts_[2]);
        annotation_->setChecked(view_ > 0 || parts_[1]);
    }
    blackboard_->setEnabled(view_ == 0 && svg);
    annotation_->setEnabled(view_ == 0 && svg);
    play_->setVisible(CanPlay());
    UpdateButtons();
    // A kind of file the view does not show: the desktop's application may open it.
    if (canvas_->ShowsNoPreviewNote() &&
        AskYesNo(this, "このファイルはプレビュー表示できません。\r\n関連付けされたアプリケーションで開きます。\r\n\r\nよろしいですか？") &&
        SafeToOpenExternally(shown, root_.empty() ? fs::path(shown).parent_path() : fs::path(root_)))
        QDesktopServices::openUrl(QUrl::fromLocalFile(Q(shown)));
}

void PhotoDisplay::SetStripVisible(bool on) { stripToggle_->setChecked(on); }
bool PhotoDisplay::StripVisible() const { return stripToggle_->isChecked(); }

void PhotoDisplay::SetSvgPart(int part, bool on) {
    if (view_ != 0 || photo_.empty() || part < 1 || part > 2) return;
    parts_[part] = on;
    ScheduleEdit();
}

void PhotoDisplay::ScheduleEdit() {
    if (editBusy_) {
        editDirty_ = true;  // the newest request runs when this one is done
        return;
    }
    editBusy_ = true;
    canvas_->MarkPending();
    const quint64 serial = editSerial_;
    const int rotation = rotation_, brightness = brightness_;
    const bool annotation = parts_[1], blackboard = parts_[2];
    QPointer<PhotoDisplay> self(this);
    QThreadPool::globalInstance()->start([self, job = job_, serial, rotation, brightness, annotation, blackboard] {
        std::string result;
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            TEditControler& e = job->edit;
            if (e.IsPartVisible(1) != annotation) e.SetPartVisible(1, annotation);
            if (e.IsPartVisible(2) != blackboard) e.SetPartVisible(2, blackboard);
            if (e.Rotation() != rotation) e.SetRotation(rotation);
            if (e.Brightness() != brightness) e.SetBrightness(brightness);
            result = e.ResultFile().string();
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, serial, result, rotation] {
                if (!self) return;
                self->editBusy_ = false;
                if (serial != self->editSerial_) {
                    // Made for a photo shown before; the present one may want its own.
                    if (self->editDirty_) {
                        self->editDirty_ = false;
                        self->ScheduleEdit();
                    }
                    return;
                }
                if (self->editDirty_) {
                    self->editDirty_ = false;
                    self->ScheduleEdit();
                    return;
                }
                if (self->view_ == 0) self->canvas_->ShowFile(result, self->medium_);
                self->UpdateButtons();
                emit self->Rotated(rotation);
            },
            Qt::QueuedConnection);
    });
}

void PhotoDisplay::FillStrip(const std::string& path) {
    const TPctFileInfo info = path.empty() ? TPctFileInfo{} : GatherFileInfo(path, false);
    if (!info.filled) {
        for (QLabel* l : strip_) l->clear();
        return;
    }
    const bool dated = info.typeName == "JPEG イメージファイル" || info.typeName == "ビットマップ" ||
                       info.typeName == "FlashPix ファイル" || info.typeName == "SVG ファイル";
    strip_[0]->setText(QStringLiteral("種類　: ") + Q(info.typeName));
    strip_[1]->setText(QStringLiteral("写真の撮影日: ") + (dated ? Q(ShootingTimeText(info.shootingTime)) : QStringLiteral("----")));
    strip_[1]->setEnabled(dated);
    strip_[2]->setText(QStringLiteral("更新日時　　: ") + Q(DateTimeText(info.fileTime)));
    strip_[3]->setText(QStringLiteral("大きさ: ") + Q(info.pixelText));
    strip_[4]->setText(QStringLiteral("サイズ: ") + Q(info.sizeText));
}

QString PhotoDisplay::StripText() const {
    QStringList t;
    for (const QLabel* l : strip_) t << l->text();
    return t.join(QStringLiteral(" | "));
}

bool PhotoDisplay::EditsEnabled() const {
    const std::string e = LowerExtension(photo_);
    return view_ == 0 && !photo_.empty() && IsRegularFile(photo_) && (e == ".jpg" || e == ".jpeg" || e == ".svg") &&
           canvas_->Model().HasPicture();
}

void PhotoDisplay::UpdateButtons() {
    const bool edits = EditsEnabled();
    rotateLeft_->setEnabled(edits);
    rotateRight_->setEnabled(edits);
    gamma_->setEnabled(edits);
    photoButton_->setChecked(view_ == 0);
    drawingButton_->setChecked(view_ > 0);
    drawingButton_->setEnabled(!drawings_.empty());
    photoButton_->setEnabled(!photo_.empty() || !medium_.isNull());
}

void PhotoDisplay::Rotate(bool clockwise) { SetRotation((rotation_ + (clockwise ? 90 : 270)) % 360); }

void PhotoDisplay::SetRotation(int angle) {
    if (photo_.empty() || view_ != 0) return;
    rotation_ = ((angle % 360) + 360) % 360 / 90 * 90;
    ScheduleEdit();
}

int PhotoDisplay::Rotation() const { return rotation_; }

void PhotoDisplay::SetBrightness(int step) {
    if (photo_.empty() || view_ != 0) return;
    brightness_ = std::clamp(step, -5, 3);
    for (QAction* a : gamma_->menu()->actions()) a->setChecked(a->data().toInt() == brightness_);
    ScheduleEdit();
}

int PhotoDisplay::Brightness() const { return brightness_; }

void PhotoDisplay::SetCounter(const QString& text) { counter_->setText(text); }
QString PhotoDisplay::Counter() const { return counter_->text(); }
void PhotoDisplay::SetPriorNextEnabled(bool prior, bool next) {
    prior_->setEnabled(prior);
    next_->setEnabled(next);
}

}  // namespace velview::viewer
