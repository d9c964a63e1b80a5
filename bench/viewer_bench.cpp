// viewer_bench DIR [--size WxH]
//
// Opens DIR in the main window (off-screen or on a display) and reports
//   - the time from the start until the first screen of thumbnails is painted,
//   - the resident memory after the photo list was scrolled through to its end, page by
//     page, each page waiting for its thumbnails,
//   - the time the scroll took.
// Prints one line per figure; builds nothing and changes nothing in DIR.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <fstream>
#include <string>

#include "data/ei_control.h"
#include "ent/program_runtime.h"
#include "viewer/main_window.h"
#include "viewer/photo_display.h"
#include "viewer/photo_list_view.h"
#include "viewer/thumbnail_provider.h"
#include "viewer/tree_pane.h"

namespace {

long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
    return -1;
}

template <class F>
void WaitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: viewer_bench DIR [--size WxH]\n");
        return 2;
    }
    QSize size(1280, 860);
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--size") {
            const QStringList wh = QString::fromUtf8(argv[i + 1]).split('x');
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        }
    velview::ProgramRuntime runtime;
    velview::viewer::MainWindow window(runtime, velview::DataControl(), argv[1]);
    window.resize(size);
    window.show();
    window.setWindowState(Qt::WindowNoState);
    window.resize(size);
    auto* list = window.List();
    auto* thumbs = window.Thumbnails();
    WaitFor([&] { return !window.Tree()->Folder().empty() && !window.Tree()->Busy(); }, 120000);
    const qint64 loaded = clock.elapsed();
    // The first screen: every visible card has asked, and every request was answered.
    WaitFor([&] { return !window.PhotoSequence().empty() && thumbs->QueuedCount() == 0; }, 120000);
    QApplication::processEvents();
    list->viewport()->repaint();
    WaitFor([&] { return thumbs->QueuedCount() == 0 && window.Display()->Canvas()->Ready(); }, 120000);
    const qint64 firstScreen = clock.elapsed();
    std::printf("photos listed: %zu\n", window.PhotoSequence().size());
    std::printf("loaded (tree built): %lld ms\n", static_cast<long long>(loaded));
    std::printf("first screen of thumbnails: %lld ms\n", static_cast<long long>(firstScreen));
    std::printf("resident after the first screen: %ld MB\n", StatusKb("VmRSS:") / 1024);

    // The next photo, shown fitted: from the command to the picture on screen.
    {
        std::vector<qint64> times;
        for (int i = 0; i < 20 && window.CurrentPosition() < static_cast<int>(window.PhotoSequence().size()); ++i) {
            QElapsedTimer t;
            t.start();
            window.SelectPosition(window.CurrentPosition() + 1);
            WaitFor([&] { return window.Display()->Canvas()->Ready() && !window.Display()->Canvas()->Image().isNull(); }, 10000);
            window.Display()->Canvas()->viewport()->repaint();
            times.push_back(t.elapsed());
        }
        std::sort(times.begin(), times.end());
        if (!times.empty())
            std::printf("next photo shown fitted (%zu photos, %dx%d): median %lld ms, slowest %lld ms\n", times.size(),
                        window.Display()->Canvas()->Model().PictureWidth(), window.Display()->Canvas()->Model().PictureHeight(),
                        static_cast<long long>(times[times.size() / 2]), static_cast<long long>(times.back()));
    }

    QElapsedTimer scroll;
    scroll.start();
    QScrollBar* bar = list->verticalScrollBar();
    for (;;) {
        list->viewport()->repaint();
        WaitFor([&] { return thumbs->QueuedCount() == 0; }, 60000);
        list->viewport()->repaint();
        if (bar->value() >= bar->maximum()) break;
        bar->setValue(bar->value() + bar->pageStep());
        QApplication::processEvents();
    }
    std::printf("scrolled through in: %lld ms\n", static_cast<long long>(scroll.elapsed()));
    std::printf("resident after scrolling through: %ld MB (peak %ld MB)\n", StatusKb("VmRSS:") / 1024, StatusKb("VmHWM:") / 1024);
    return 0;
}
