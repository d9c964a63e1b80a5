#include "viewer/title_window.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "browse/viewer_rules.h"

namespace velview::viewer {

TitleWindow::TitleWindow(bool startUp, QWidget* parent)
    : QDialog(parent, startUp ? Qt::SplashScreen | Qt::FramelessWindowHint : Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      startUp_(startUp) {
    setFixedSize(440, 220);
    setWindowTitle(QStringLiteral("バージョン情報"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    if (startUp) {
        bar_ = new QProgressBar(this);
        bar_->setRange(0, 100);
        bar_->setTextVisible(false);
        bar_->setFixedHeight(10);
        layout->addWidget(bar_);
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, [this] {
            bar_->setValue(std::min(bar_->maximum(), bar_->value() + 10));
            if (bar_->value() >= bar_->maximum()) {
                timer_->stop();
                close();
                deleteLater();
            }
        });
        timer_->start(60);
    } else {
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(ok, 0, Qt::AlignRight);
    }
}

QString TitleWindow::VersionText() const { return QStringLiteral("Version ") + QApplication::applicationVersion(); }

QString TitleWindow::SecondLine() const {
    if (!startUp_) {
        // The about dialog names the date of the program file.
        const QFileInfo program(QApplication::applicationFilePath());
        return program.exists() ? program.lastModified().toString(QStringLiteral("yyyy/MM/dd")) : QString();
    }
    return QStringLiteral("Program Version ") + QApplication::applicationVersion();
}

void TitleWindow::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0xf4, 0xf8, 0xfc));
    sky.setColorAt(1, QColor(0xdc, 0xe8, 0xf4));
    g.fillRect(rect(), sky);
    g.setPen(QColor(0x80, 0x90, 0xa0));
    g.drawRect(rect().adjusted(0, 0, -1, -1));
    // The picture on the right: a stack of photos.
    const QRect pic(width() - 150, 40, 110, 80);
    for (int k = 2; k >= 0; --k) {
        const QRect r = pic.translated(-k * 8, k * 8);
        g.setPen(QColor(0x50, 0x60, 0x70));
        g.setBrush(k == 0 ? QColor(0x9c, 0xc4, 0xe4) : QColor(0xf8, 0xf8, 0xf8));
        g.drawRect(r);
    }
    QFont title = font();
    title.setPixelSize(22);
    title.setBold(true);
    g.setFont(title);
    g.setPen(QColor(0x20, 0x30, 0x50));
    g.drawText(QRect(24, 36, width() - 200, 40), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kApplicationTitle));
    // The version, centred in blue below the picture: 12 pt, bold and underlined.
    QFont version = font();
    version.setPointSize(12);
    version.setBold(true);
    version.setUnderline(true);
    g.setFont(version);
    g.setPen(QColor(0x00, 0x00, 0xff));
    const QRect text(pic.left() - width() / 2 + pic.width() / 2 - 10, pic.bottom() + 22, width() / 2, 24);
    g.drawText(text.translated(-40, 0), Qt::AlignCenter, VersionText());
    QFont small = font();
    small.setPointSize(9);
    g.setFont(small);
    g.setPen(QColor(0x30, 0x30, 0x30));
    g.drawText(text.translated(-40, 24), Qt::AlignCenter, SecondLine());
}

}  // namespace velview::viewer
