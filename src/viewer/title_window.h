// The title window shown while the program starts, and the same window as the about dialog.
#pragma once

#include <QDialog>

class QProgressBar;
class QTimer;

namespace velview::viewer {

class TitleWindow : public QDialog {
    Q_OBJECT
public:
    // `startUp`: borderless with a progress bar that closes the window when it is full;
    // otherwise the about dialog with the program file's date.
    explicit TitleWindow(bool startUp, QWidget* parent = nullptr);
    QString VersionText() const;
    QString SecondLine() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool startUp_;
    QProgressBar* bar_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace velview::viewer
