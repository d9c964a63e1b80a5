#include "viewer/video_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace velview::viewer {

VideoPlayer::VideoPlayer(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    video_ = new QVideoWidget(this);
    layout->addWidget(video_);
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
    player_->setVideoOutput(video_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia) emit Finished();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString& text) {
        error_ = text;
        emit Finished();
    });
}

VideoPlayer::~VideoPlayer() { player_->stop(); }

void VideoPlayer::Play(const std::string& file) {
    error_.clear();
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
    player_->play();
}

void VideoPlayer::Stop() { player_->stop(); }

bool VideoPlayer::Playing() const { return player_->playbackState() == QMediaPlayer::PlayingState; }

}  // namespace velview::viewer
