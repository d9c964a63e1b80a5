#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <random>

namespace velview {
namespace fs = std::filesystem;

namespace {
constexpr double kUnixEpochInDays = 25569.0;  // 1970-01-01 as days since 1899-12-30

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { int f = fd_; fd_ = -1; return f; }
private:
    int fd_;
};

std::string TempSuffix() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    char buf[48];
    std::snprintf(buf, sizeof buf, ".%d.%u.%08x.tmp", static_cast<int>(::getpid()), counter++, rd());
    return buf;
}
}  // namespace

std::string ErrnoText(int err) { return std::strerror(err); }

bool IsRegularFile(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadRegularFile(const fs::path& path, std::uint64_t maxBytes) {
    // O_NONBLOCK keeps open() of a FIFO from waiting for a writer; fstat then refuses it.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) throw IoError(path.string() + ": " + ErrnoText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw IoError(path.string() + ": " + ErrnoText(errno));
    if (!S_ISREG(st.st_mode)) throw IoError(path.string() + ": not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        throw IoError(path.string() + ": file too large (" + std::to_string(st.st_size) + " bytes)");
    std::string data;
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            // The file may have grown since fstat; read on, within the limit.
            if (data.size() >= maxBytes) break;
            data.resize(std::min<std::uint64_t>(maxBytes, data.size() + 65536));
        }
        ssize_t n = ::read(fd.get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError(path.string() + ": " + ErrnoText(errno));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
    return data;
}

void CreateDirectories(const fs::path& dir) {
    if (dir.empty()) throw IoError("ディレクトリを作成することができません");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw IoError(dir.string() + ": ディレクトリを作成することができません (" + ec.message() + ")");
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes, unsigned mode) {
    fs::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    fs::path tmp = dir / (path.filename().string() + TempSuffix());
    Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (fd.get() < 0) throw IoError(path.string() + ": cannot create file: " + ErrnoText(errno));
    auto fail = [&](const char* what) {
        int err = errno;
        ::unlink(tmp.c_str());
        throw IoError(path.string() + ": " + what + ": " + ErrnoText(err));
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) fail("cannot flush");
    if (::close(fd.release()) != 0) fail("cannot close");
    if (::rename(tmp.c_str(), path.c_str()) != 0) fail("cannot replace");
}

double UnixToDateTime(double unixSeconds) { return unixSeconds / 86400.0 + kUnixEpochInDays; }
double DateTimeToUnix(double dateTime) { return (dateTime - kUnixEpochInDays) * 86400.0; }

bool FileWriteTime(const fs::path& path, double& dateTime) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    dateTime = UnixToDateTime(static_cast<double>(st.st_mtim.tv_sec) +
                              static_cast<double>(st.st_mtim.tv_nsec) / 1e9);
    return true;
}

void SetFileWriteTime(const fs::path& path, double dateTime) {
    double unix = DateTimeToUnix(dateTime);
    double secs = std::floor(unix);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(secs);
    times[1].tv_nsec = static_cast<long>(std::lround((unix - secs) * 1e9));
    if (times[1].tv_nsec >= 1000000000L) { times[1].tv_sec += 1; times[1].tv_nsec -= 1000000000L; }
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw IoError(path.string() + ": cannot set file time: " + ErrnoText(errno));
}

}  // namespace velview
