#include "imaging/render_helper.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/file_io.h"
#include "common/runtime_folder.h"
#include "imaging/image_decoders.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
fs::path g_helper;
}

void SetRenderHelperPath(fs::path path) { g_helper = std::move(path); }

fs::path RenderHelperPath() {
    if (!g_helper.empty()) return g_helper;
    const fs::path here = ProgramFolder();
    for (const fs::path& p : {here / "velview-render", here / ".." / "tools" / "velview-render"})
        if (IsRegularFile(p) && ::access(p.c_str(), X_OK) == 0) return p;
    return here / "velview-render";
}

Raster RenderInHelper(RenditionKind kind, const fs::path& file, const RenditionLimits& limits) {
    if (!IsRegularFile(file)) throw ImageError("not a regular file");
    const fs::path helper = RenderHelperPath();
    if (::access(helper.c_str(), X_OK) != 0) throw ImageError("the rendering helper is not installed: " + helper.string());
    const fs::path out = MakeTempFileName("Vel", ".jpg");
    struct Remove {
        fs::path p;
        ~Remove() { ::unlink(p.c_str()); }
    } remove{out};
    const std::string kindArg = kind == RenditionKind::PdfPage ? "pdf" : "mp4";
    const std::string w = std::to_string(limits.maxWidth), h = std::to_string(limits.maxHeight);
    const pid_t pid = ::fork();
    if (pid < 0) throw ImageError("cannot start the rendering helper");
    if (pid == 0) {
        // The child: limits first, no terminal input, then the helper. (AddressSanitizer
        // builds reserve terabytes of address space for their shadow memory, so the
        // address-space limit is left out there.)
#if !defined(__SANITIZE_ADDRESS__)
        rlimit mem{limits.memoryBytes, limits.memoryBytes};
        ::setrlimit(RLIMIT_AS, &mem);
#endif
        rlimit cpu{static_cast<rlim_t>(limits.seconds), static_cast<rlim_t>(limits.seconds + 1)};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const int devnull = ::open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            ::dup2(devnull, 0);
            ::dup2(devnull, 1);
            ::dup2(devnull, 2);
        }
        ::execl(helper.c_str(), helper.c_str(), kindArg.c_str(), file.c_str(), out.c_str(), w.c_str(), h.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) break;
        if (r < 0 && errno != EINTR) throw ImageError("the rendering helper was lost");
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            throw ImageError("rendering took too long and was stopped");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw ImageError(WIFSIGNALED(status) ? "the rendering helper failed on this file" : "the file cannot be rendered");
    return DecodeJpeg(ReadRegularFile(out, std::uint64_t(256) << 20));
}

}  // namespace velview
