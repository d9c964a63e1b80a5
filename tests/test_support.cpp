#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/ext_registry.h"

namespace velview::test {
namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::string templ = (fs::temp_directory_path() / "velview-test-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    SetSettingsStoreFolder(path_ / "config" / "Lumora");
}

ScratchDir::~ScratchDir() {
    SetSettingsStoreFolder({});
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace velview::test

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef VELVIEW_CLI_PATH
#define VELVIEW_CLI_PATH "velview-cli"
#endif

namespace velview::test {

namespace {
ProcessResult Run(const std::vector<std::string>& args, const std::filesystem::path& tmpdir,
                  const std::filesystem::path& configHome) {
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        int devnull = ::open("/dev/null", O_RDONLY);
        ::dup2(devnull, 0);
        if (!tmpdir.empty()) {
            ::setenv("TMPDIR", tmpdir.c_str(), 1);
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        if (!configHome.empty()) ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        std::vector<char*> argv;
        std::string exe = VELVIEW_CLI_PATH;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProcessResult r;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buf[4096];
            ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
    return r;
}
}  // namespace

ProcessResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& tmpdir) {
    return Run(args, tmpdir, {});
}

ProcessResult RunCliIn(const ScratchDir& dir, const std::vector<std::string>& args) {
    return Run(args, dir.path(), dir / "config");
}

}  // namespace velview::test
