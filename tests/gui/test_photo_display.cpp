// The photo display: zoom steps and fit, the decode refined when zooming in, rotation and
// brightness through the edit pipeline, as pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QByteArray>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <fstream>
#include <iterator>

#include "imaging/jpeg_codec.h"
#include "imaging/raster.h"
#include "viewer/photo_display.h"
#include "viewer/qt_text.h"
#include "viewer/zoom_view.h"

namespace velview::viewer {
namespace {

// A 640 × 480 JPEG: the left half red, the right half blue, the top 32 rows white.
std::string WriteTestPhoto(const QTemporaryDir& dir, const char* name, int w = 640, int h = 480) {
    Raster r;
    r.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &r.rgb[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3];
            if (y < 32) {
                p[0] = p[1] = p[2] = 250;
            } else if (x < w / 2) {
                p[0] = 200, p[1] = 30, p[2] = 30;
            } else {
                p[0] = 30, p[1] = 30, p[2] = 200;
            }
        }
    const std::string path = dir.filePath(QString::fromUtf8(name)).toStdString();
    std::ofstream(path, std::ios::binary) << EncodeJpeg(r, 92);
    return path;
}

void WaitReady(ZoomView* v) {
    QElapsedTimer t;
    t.start();
    while (!v->Ready() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
}

// Where a picture pixel lies in the image held by the view.
QColor At(const ZoomView* v, double fx, double fy) {
    const QImage& i = v->Image();
    return i.pixelColor(static_cast<int>(fx * (i.width() - 1)), static_cast<int>(fy * (i.height() - 1)));
}

TEST(PhotoDisplay, ZoomStepsFitAndRefinedDecode) {
    QTemporaryDir dir;
    const std::string photo = WriteTestPhoto(dir, "P0000001.JPG", 1600, 1200);
    PhotoDisplay display;
    display.resize(500, 420);
    display.show();
    display.SetPhoto(photo, QString());
    ZoomView* view = display.Canvas();
    WaitReady(view);
    ASSERT_EQ(view->Model().PictureWidth(), 1600);
    EXPECT_TRUE(view->Model().FitMode());
    EXPECT_LT(view->Model().Effective(), 0.5);
    EXPECT_EQ(view->ImageScale(), view->Model().DecoderScale());
    EXPECT_GE(view->ImageScale(), 1) << "fitted: decoded at a fraction of the size";
    EXPECT_EQ(view->Image().width(), 1600 >> view->ImageScale());
    // Zooming in to 100 % asks for the full picture.
    view->SetZoom(1.0);
    WaitReady(view);
    EXPECT_EQ(view->ImageScale(), 0);
    EXPECT_EQ(view->Image().width(), 1600);
    view->ZoomIn();
    EXPECT_EQ(view->Model().Requested(), 2.0);
    view->ZoomOut();
    EXPECT_EQ(view->Model().Requested(), 1.0);
    // One level of undo toggles between the last two views.
    view->SetZoom(4.0);
    view->UndoZoom();
    EXPECT_EQ(view->Model().Requested(), 1.0);
    view->UndoZoom();
    EXPECT_EQ(view->Model().Requested(), 4.0);
    view->SetZoom(0);
    EXPECT_TRUE(view->Model().FitMode());
    // A new file goes back to fit.
    view->SetZoom(2.0);
    display.SetPhoto(WriteTestPhoto(dir, "P0000002.JPG"), QString());
    EXPECT_TRUE(view->Model().FitMode());
}

std::string Base64(const std::string& in) {
    return QByteArray::fromStdString(in).toBase64().toStdString();
}

// An SVG photo of electronic blackboards: the photo layer, the blackboard and an annotation.
std::string WriteSvgPhoto(const QTemporaryDir& dir, const std::string& photoJpeg, const std::string& boardJpeg) {
    const auto image = [](const std::string& jpeg, int x, int y, int w, int h) {
        return "<image x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" + std::to_string(w) + "\" height=\"" +
               std::to_string(h) + "\" xlink:href=\"data:image/jpeg;base64," + Base64(jpeg) + "\"/>";
    };
    const std::string svg =
        "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "width=\"640\" height=\"480\"><g id=\"dcp_org_img\">" + image(photoJpeg, 0, 0, 640, 480) +
        "</g><g id=\"dcp_chalkboard_img\">" + image(boardJpeg, 0, 320, 240, 160) + "</g><g id=\"dcp_annotation\"></g></svg>";
    const std::string path = dir.filePath(QStringLiteral("P0000001.SVG")).toStdString();
    std::ofstream(path, std::ios::binary) << svg;
    return path;
}

TEST(PhotoDisplay, SvgPartSwitches) {
    QTemporaryDir dir;
    const std::string photoPath = WriteTestPhoto(dir, "photo.jpg");
    std::string photo, board;
    {
        std::ifstream in(photoPath, std::ios::binary);
        photo.assign(std::istreambuf_iterator<char>(in), {});
        Raster green;
        green.Allocate(240, 160);
        for (std::size_t i = 0; i < green.rgb.size(); i += 3) green.rgb[i] = 20, green.rgb[i + 1] = 160, green.rgb[i + 2] = 40;
        board = EncodeJpeg(green, 90);
    }
    const std::string svg = WriteSvgPhoto(dir, photo, board);
    PhotoDisplay display;
    display.resize(500, 420);
    display.show();
    display.SetPhoto(svg, QString());
    ZoomView* view = display.Canvas();
    WaitReady(view);
    QCheckBox* blackboard = nullptr;
    for (QCheckBox* b : display.findChildren<QCheckBox*>())
        if (b->text() == QStringLiteral("黒板")) blackboard = b;
    ASSERT_NE(blackboard, nullptr);
    EXPECT_TRUE(blackboard->isVisible()) << "offered for SVG photos";
    EXPECT_TRUE(blackboard->isChecked());
    ASSERT_TRUE(view->Model().HasPicture());
    // Without the blackboard layer the lower left shows the photo (red) again.
    blackboard->setChecked(false);
    QElapsedTimer t;
    t.start();
    while ((display.EditBusy() || !view->Ready()) && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(display.ShownFile(), svg) << "an edited rendition";
    EXPECT_GT(At(view, 0.1, 0.9).red(), 150);
    // A JPEG photo has no such switches.
    display.SetPhoto(photoPath, QString());
    EXPECT_FALSE(blackboard->isVisible());
}

TEST(PhotoDisplay, GesturesZoomToARectangleAndBack) {
    QTemporaryDir dir;
    PhotoDisplay display;
    display.resize(500, 420);
    display.show();
    display.SetPhoto(WriteTestPhoto(dir, "P0000001.JPG", 1600, 1200), QString());
    ZoomView* view = display.Canvas();
    WaitReady(view);
    const double fit = view->Model().Effective();
    const QSize v = view->viewport()->size();
    // Down-right: the rectangle (a quarter of the window's width) fills the window.
    const QPoint from(v.width() / 4, v.height() / 4);
    view->Gesture(from, from + QPoint(v.width() / 4, v.height() / 4));
    EXPECT_NEAR(view->Model().Effective(), fit * 4, fit * 0.2);
    EXPECT_FALSE(view->Model().FitMode());
    // Up-right: the previous view; down-left: fit.
    view->Gesture(from, from + QPoint(30, -30));
    EXPECT_TRUE(view->Model().FitMode());
    view->SetZoom(2.0);
    view->Gesture(from, from + QPoint(-30, 30));
    EXPECT_TRUE(view->Model().FitMode());
}

TEST(PhotoDisplay, RotationAndBrightnessAsPixels) {
    QTemporaryDir dir;
    const std::string photo = WriteTestPhoto(dir, "P0000001.JPG");
    PhotoDisplay display;
    display.resize(400, 420);
    display.show();
    display.SetPhoto(photo, QString());
    ZoomView* view = display.Canvas();
    WaitReady(view);
    EXPECT_TRUE(display.EditsEnabled());
    const QColor left = At(view, 0.25, 0.6);
    EXPECT_GT(left.red(), 150);
    EXPECT_LT(left.blue(), 80);

    // A quarter turn clockwise: the left half (red) comes to the top, the white rows to the
    // right; the source is never written.
    display.Rotate(true);
    WaitReady(view);
    EXPECT_EQ(display.Rotation(), 90);
    EXPECT_NE(display.ShownFile(), photo);
    EXPECT_EQ(view->Model().PictureWidth(), 480);
    EXPECT_EQ(view->Model().PictureHeight(), 640);
    EXPECT_GT(At(view, 0.4, 0.25).red(), 150) << "red on top";
    EXPECT_GT(At(view, 0.4, 0.75).blue(), 150) << "blue below";
    EXPECT_GT(At(view, 0.98, 0.5).green(), 200) << "the white rows on the right";

    // Turns asked for while one is being made: the last state wins, shown once it is made.
    display.Rotate(true);
    display.Rotate(true);
    display.Rotate(true);
    EXPECT_TRUE(display.EditBusy() || !view->Ready());
    {
        QElapsedTimer t;
        t.start();
        while ((display.EditBusy() || !view->Ready()) && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(display.Rotation(), 0) << "90 + 3 × 90";
    EXPECT_EQ(display.ShownFile(), photo) << "no turn at all: the photo as delivered";

    // Brightness "+2" lightens the blue half; "0" with no rotation shows the file as delivered.
    display.SetRotation(0);
    WaitReady(view);
    const int before = At(view, 0.75, 0.6).lightness();
    display.SetBrightness(-2);
    WaitReady(view);
    EXPECT_GT(At(view, 0.75, 0.6).lightness(), before + 10);
    display.SetBrightness(0);
    WaitReady(view);
    EXPECT_EQ(display.ShownFile(), photo);
}

TEST(PhotoDisplay, DrawingsAndMissingFiles) {
    QTemporaryDir dir;
    const std::string photo = WriteTestPhoto(dir, "P0000001.JPG");
    const std::string drawing = WriteTestPhoto(dir, "D0000001.JPG", 320, 240);
    PhotoDisplay display;
    display.resize(400, 420);
    display.show();
    display.SetPhoto(photo, QString(), {drawing});
    EXPECT_EQ(display.DrawingCount(), 1);
    display.SelectView(1);
    WaitReady(display.Canvas());
    EXPECT_EQ(display.ShownFile(), drawing);
    EXPECT_EQ(display.Canvas()->Model().PictureWidth(), 320);
    EXPECT_FALSE(display.EditsEnabled()) << "drawings are shown as delivered";
    display.SelectView(0);
    EXPECT_EQ(display.ShownFile(), photo);
    // A photo on another medium: no file, the medium's number.
    display.SetPhoto({}, QStringLiteral("2"));
    EXPECT_TRUE(display.ShownFile().empty());
    EXPECT_FALSE(display.EditsEnabled());
}

TEST(PhotoDisplay, FilesItDoesNotShowAreOfferedToTheDesktop) {
    QTemporaryDir dir;
    const std::string photo = WriteTestPhoto(dir, "P0000001.JPG");
    const std::string pdf = dir.filePath(QStringLiteral("D0000001.PDF")).toStdString();
    std::ofstream(pdf) << "%PDF-1.4\n";
    std::vector<std::string> asked;
    SetMessageHandler([&](MessageKind kind, const std::string& text) {
        if (kind == MessageKind::Question) asked.push_back(text);
        return false;  // No: nothing is opened
    });
    PhotoDisplay display;
    display.resize(500, 420);
    display.show();
    display.SetPhoto(photo, QString(), {pdf});
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(display.StripText().isEmpty());
    display.SelectView(1);
    EXPECT_TRUE(display.Canvas()->ShowsNoPreviewNote());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("このファイルはプレビュー表示できません。", 0), 0u);
    // The strip can be hidden, and stays so for the next pane.
    display.SetStripVisible(false);
    PhotoDisplay other;
    EXPECT_FALSE(other.StripVisible());
    other.SetStripVisible(true);
    SetMessageHandler(nullptr);
}

TEST(PhotoDisplay, VideosOfferPlayback) {
    QTemporaryDir dir;
    const std::string video = dir.filePath(QStringLiteral("P0000001.MP4")).toStdString();
    std::ofstream(video) << std::string(2000, 'x');  // not a real video: the player must say so
    PhotoDisplay display;
    display.resize(500, 420);
    display.show();
    display.SetPhoto(video, QString());
    WaitReady(display.Canvas());
    if (!display.CanPlay()) GTEST_SKIP() << "built without Qt Multimedia";
    QToolButton* button = nullptr;
    for (QToolButton* b : display.findChildren<QToolButton*>())
        if (b->text() == QStringLiteral("再生")) button = b;
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    button->click();
    // A broken file ends playback by itself, and the still comes back.
    QElapsedTimer t;
    t.start();
    while (button->isChecked() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(display.Playing());
    // A photo has no playback.
    display.SetPhoto(WriteTestPhoto(dir, "P0000002.JPG"), QString());
    EXPECT_FALSE(button->isVisible());
}

}  // namespace
}  // namespace velview::viewer
