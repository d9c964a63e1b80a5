// Playback of an MP4 photo file in the display pane (Qt Multimedia). Made only when the user
// asks to play, so that showing a video's still costs nothing more than a picture.
#pragma once

#include <QWidget>
#include <string>

class QMediaPlayer;
class QVideoWidget;
class QAudioOutput;

namespace velview::viewer {

class VideoPlayer : public QWidget {
    Q_OBJECT
public:
    explicit VideoPlayer(QWidget* parent = nullptr);
    ~VideoPlayer() override;
    void Play(const std::string& file);
    void Stop();
    bool Playing() const;
    // Why playback failed (empty while it works).
    QString Error() const { return error_; }

signals:
    void Finished();

private:
    QMediaPlayer* player_ = nullptr;
    QVideoWidget* video_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QString error_;
};

}  // namespace velview::viewer
