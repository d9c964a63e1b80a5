// velview-cli thumbs: a thumbnail JPEG per photo below a folder, made in parallel.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "cli/commands.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "imaging/graphic_info.h"
#include "imaging/thumbnail.h"

namespace velview::cli {
namespace fs = std::filesystem;

namespace {
bool IsPhotoName(const fs::path& p) {
    return TGraphicInfo::Instance().IsOneOf(p, {GraphicKind::Jpeg, GraphicKind::Svg, GraphicKind::Tiff,
                                                GraphicKind::Bitmap, GraphicKind::Png});
}
}  // namespace

int ThumbsCommand(const Args& args) {
    std::string dir, out;
    int tw = 0, th = 0;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    bool ok = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size" && i + 1 < args.size()) {
            ok = std::sscanf(args[++i].c_str(), "%dx%d", &tw, &th) == 2 && tw > 0 && th > 0 && tw <= 4096 && th <= 4096;
        } else if (args[i] == "--out" && i + 1 < args.size()) {
            out = args[++i];
        } else if (args[i] == "--jobs" && i + 1 < args.size()) {
            const int j = std::atoi(args[++i].c_str());
            ok = ok && j > 0 && j <= 256;
            jobs = static_cast<unsigned>(std::max(1, j));
        } else if (dir.empty()) {
            dir = args[i];
        } else {
            ok = false;
        }
    }
    if (!ok || dir.empty() || out.empty() || tw <= 0) {
        Error("usage: velview-cli thumbs DIR --size WxH --out OUTDIR [--jobs N]");
        return 2;
    }
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        Error(dir + ": not a folder");
        return 2;
    }
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && IsPhotoName(it->path())) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    CreateDirectories(out);

    const auto start = std::chrono::steady_clock::now();
    std::atomic<std::size_t> next{0};
    std::atomic<int> made{0}, fromExif{0};
    std::mutex errMutex;
    std::vector<std::string> failures;
    auto work = [&] {
        TThumbNail thumb;  // one maker (and Exif reader) per thread, reused for every file
        thumb.outputMode = 3;
        thumb.targetWidth = tw;
        thumb.targetHeight = th;
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            const fs::path& f = files[i];
            fs::path target = fs::path(out) / fs::relative(f, dir, ec);
            target.replace_extension(".jpg");
            try {
                if (!thumb.MakeFromFile(f)) throw IoError(thumb.Error());
                CreateDirectories(target.parent_path());
                WriteFileAtomic(target, thumb.ResultJpeg());
                ++made;
                if (thumb.FromExif()) ++fromExif;
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(errMutex);
                failures.push_back(f.string() + ": " + e.what());
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned j = 1; j < jobs; ++j) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& f : failures) std::fprintf(stderr, "velview-cli: %s\n", f.c_str());
    std::printf("%d of %zu thumbnails (%d from Exif) in %.2f s, %.1f files/s\n", made.load(), files.size(),
                fromExif.load(), secs, secs > 0 ? static_cast<double>(files.size()) / secs : 0.0);
    return failures.empty() ? 0 : 1;
}

}  // namespace velview::cli
