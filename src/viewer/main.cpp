// velview: the viewer. One optional argument, the delivery folder to open.
#include <spawn.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <vector>

#include "browse/media_launch.h"
#include "browse/viewer_rules.h"
#include "common/file_io.h"
#include "common/runtime_folder.h"
#include "data/delivery_files.h"
#include "data/ei_control.h"
#include "ent/program_runtime.h"
#include "viewer/main_window.h"
#include "viewer/qt_text.h"
#include "viewer/thumbnail_provider.h"
#include "viewer/title_window.h"
#include "viewer/tree_pane.h"

extern char** environ;

namespace {

// Started from a removable or optical medium: copy the program to a private folder, start the
// copy and end, so that the medium can be changed while the viewer runs. Nothing starts when
// a copy already runs.
int MediaLaunch(const std::filesystem::path& program) {
    namespace fs = std::filesystem;
    if (velview::InstanceLock::AnyInstanceRuns()) return 0;
    const fs::path folder = program.parent_path();
    std::vector<fs::path> files = {program};
    for (const char* companion : {"velview-render", "VELVIEW.TIN"}) {
        const fs::path p = velview::FindEntryNoCase(folder, companion);
        if (!p.empty()) files.push_back(p);
    }
    try {
        const std::vector<fs::path> copies = velview::PrepareProgramCopy(files, velview::MediaLaunchFolder());
        const std::string argument = velview::MediaLaunchArgument(folder);
        std::vector<char*> argv = {const_cast<char*>(copies[0].c_str())};
        if (!argument.empty()) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, copies[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            std::fprintf(stderr, "velview: cannot start %s\n", copies[0].c_str());
            return 2;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velview: %s\n", e.what());
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    {
        std::error_code ec;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
        const velview::DriveKind drive = ec ? velview::DriveKind::Unknown : velview::DriveKindOf(program.parent_path());
        if ((drive == velview::DriveKind::Removable || drive == velview::DriveKind::Optical) && !std::getenv("VELVIEW_NO_MEDIA_LAUNCH"))
            return MediaLaunch(program);
    }
    // Before any thread starts: a Ctrl+C must still remove extracted files.
    velview::InstallSignalCleanup();
    const velview::InstanceLock instance;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VelView"));
    QApplication::setApplicationVersion(QStringLiteral(VELVIEW_VERSION));
    QApplication::setApplicationDisplayName(QString::fromUtf8(velview::kApplicationTitle));
    // The Japanese Gothic face the texts are written for, whichever the desktop substitutes.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP"), font.family()});
    QApplication::setFont(font);
    try {
        velview::ProgramRuntime runtime;
        QString folder, screenshot;
        QSize size(1280, 860);
        const QStringList args = QApplication::arguments();
        for (int i = 1; i < args.size(); ++i) {
            if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) {
                screenshot = args[++i];
            } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
                const QStringList wh = args[++i].split('x');
                if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
            } else if (folder.isEmpty()) {
                folder = args[i];
            }
        }
        velview::viewer::MainWindow window(runtime, velview::DataControl(), folder.toStdString());
        if (screenshot.isEmpty()) {
            auto* title = new velview::viewer::TitleWindow(true);
            title->show();
            window.show();
            title->raise();
            return QApplication::exec();
        }
        // Headless use: the window at a fixed size, saved as a picture once the first screen of
        // thumbnails is there.
        window.resize(size);
        window.show();
        window.setWindowState(Qt::WindowNoState);
        window.resize(size);
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        int status = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool loaded = !window.Tree()->Folder().empty() && !window.Tree()->Busy();
            if (!loaded || (window.Thumbnails()->QueuedCount() > 0 && clock.elapsed() < 20000)) return;
            poll.stop();
            if (!window.grab().save(screenshot)) {
                std::fprintf(stderr, "velview: cannot write %s\n", screenshot.toLocal8Bit().constData());
                status = 2;
            }
            QApplication::quit();
        });
        poll.start(100);
        const int rc = QApplication::exec();
        return status != 0 ? status : rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velview: %s\n", e.what());
        velview::viewer::Warning(nullptr, e.what());
        return 2;
    }
}
