// The photo display pane: the current photo fitted to the pane, decoded off the UI thread at
// the size the pane needs, with the photo counter and the previous / next buttons.
#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>

class QLabel;
class QToolButton;

namespace velview::viewer {

class PhotoCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PhotoCanvas(QWidget* parent = nullptr);
    ~PhotoCanvas() override;
    // `medium` null: no photo; a photo without a file at hand shows its medium number.
    void SetFile(const std::string& path, const QString& medium);
    const std::string& File() const { return path_; }
    // Whether the picture for the current file and size has arrived (tests).
    bool Ready() const { return ready_; }
    const QImage& Image() const { return image_; }

signals:
    void Shown();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Request();
    std::string path_;
    QString medium_;
    QImage image_;
    bool ready_ = true;
    bool failed_ = false;
    // The request in force, shared with the workers so they can drop stale work.
    std::shared_ptr<std::atomic<quint64>> serial_ = std::make_shared<std::atomic<quint64>>(0);
};

class PhotoDisplay : public QWidget {
    Q_OBJECT
public:
    explicit PhotoDisplay(QWidget* parent = nullptr);
    void SetPhoto(const std::string& path, const QString& medium);
    void Clear();
    void SetCounter(const QString& text);
    QString Counter() const;
    void SetPriorNextEnabled(bool prior, bool next);
    PhotoCanvas* Canvas() const { return canvas_; }
    QToolButton* PriorButton() const { return prior_; }
    QToolButton* NextButton() const { return next_; }

signals:
    void PriorClicked();
    void NextClicked();

private:
    PhotoCanvas* canvas_;
    QLabel* counter_;
    QToolButton* prior_;
    QToolButton* next_;
};

}  // namespace velview::viewer
