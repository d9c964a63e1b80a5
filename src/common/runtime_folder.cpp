#include "common/runtime_folder.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "common/file_io.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

constexpr const char* kLockName = ".instance.lock";

std::string InstancePrefix() { return "velview-" + std::to_string(::getuid()) + "-"; }

// A folder is a safe parent when it is a real directory (not a link) that this user owns
// and nobody else may write to.
bool IsPrivateFolder(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 022) == 0;
}

fs::path ParentFolder() {
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x && IsPrivateFolder(x)) return x;
    if (const char* t = std::getenv("TMPDIR"); t && *t) return t;
    return "/tmp";
}

// Removes instance folders of this user whose owning process is gone: a live process holds
// the lock file of its folder for its whole run.
void RemoveStaleFolders(const fs::path& parent, const fs::path& mine) {
    std::error_code ec;
    const std::string prefix = InstancePrefix();
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path p = it->path();
        if (p == mine || p.filename().string().rfind(prefix, 0) != 0) continue;
        if (!IsPrivateFolder(p)) continue;
        int fd = ::open((p / kLockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;  // not (yet) one of ours
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code rec;
            fs::remove_all(p, rec);  // remove_all does not follow links
        }
        ::close(fd);
    }
}

std::mutex& FolderMutex() {
    static std::mutex m;
    return m;
}

RuntimeFolder* g_instance = nullptr;

}  // namespace

RuntimeFolder::RuntimeFolder() {
    const fs::path parent = ParentFolder();
    std::string templ = (parent / (InstancePrefix() + "XXXXXX")).string();
    if (!::mkdtemp(templ.data()))
        throw IoError(parent.string() + ": cannot create the private working folder: " + ErrnoText(errno));
    path_ = templ;
    lockFd_ = ::open((path_ / kLockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd_ >= 0) ::flock(lockFd_, LOCK_EX);
    RemoveStaleFolders(parent, path_);
}

RuntimeFolder::~RuntimeFolder() { Remove(); }

RuntimeFolder& RuntimeFolder::Instance() {
    // Constructed once and removed by its destructor at normal exit.
    static RuntimeFolder folder;
    std::lock_guard<std::mutex> lock(FolderMutex());
    g_instance = &folder;
    return folder;
}

fs::path RuntimeFolder::SubFolder(std::string_view name) const {
    fs::path p = path_ / std::string(name);
    if (::mkdir(p.c_str(), 0700) != 0 && errno != EEXIST)
        throw IoError(p.string() + ": cannot create folder: " + ErrnoText(errno));
    if (!IsPrivateFolder(p)) throw IoError(p.string() + ": not a private folder of this user");
    return p;
}

void RuntimeFolder::Remove() {
    std::lock_guard<std::mutex> lock(FolderMutex());
    if (removed_) return;
    removed_ = true;
    std::error_code ec;
    fs::remove_all(path_, ec);
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

fs::path RuntimeParentFolder() { return ParentFolder(); }

fs::path ProgramFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

void InstallSignalCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        sigaddset(&set, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        // The cleanup runs in an ordinary thread woken by sigwait, not in a signal handler,
        // so it may use the file system freely.
        std::thread([set] {
            int sig = 0;
            if (sigwait(&set, &sig) != 0) return;
            RuntimeFolder* folder = nullptr;
            {
                std::lock_guard<std::mutex> lock(FolderMutex());
                folder = g_instance;
            }
            if (folder) folder->Remove();
            std::signal(sig, SIG_DFL);
            sigset_t one;
            sigemptyset(&one);
            sigaddset(&one, sig);
            pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
            ::raise(sig);
            ::_exit(128 + sig);
        }).detach();
    });
}

}  // namespace velview
