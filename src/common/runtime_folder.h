// The private per-process folder for extracted and temporary files, and its removal at exit,
// also when the process is stopped by SIGINT, SIGTERM or SIGHUP.
#pragma once

#include <filesystem>
#include <string_view>

namespace velview {

class RuntimeFolder {
public:
    // The folder of this process, created (mode 0700) on first use below $XDG_RUNTIME_DIR
    // when that is a private folder of this user, else below $TMPDIR or /tmp. Its name is
    // unpredictable; folders left by processes that ended abnormally are removed on creation.
    static RuntimeFolder& Instance();

    const std::filesystem::path& Path() const { return path_; }
    // A sub-folder (created, mode 0700).
    std::filesystem::path SubFolder(std::string_view name) const;
    // Removes the folder with everything in it. Later calls do nothing.
    void Remove();

    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

private:
    RuntimeFolder();
    ~RuntimeFolder();
    std::filesystem::path path_;
    int lockFd_ = -1;
    bool removed_ = false;
};

// Where private per-user folders go: $XDG_RUNTIME_DIR when it is a private folder of this
// user, else $TMPDIR or /tmp.
std::filesystem::path RuntimeParentFolder();

// The folder of the running executable (empty when it cannot be told).
std::filesystem::path ProgramFolder();

// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread (and so in every thread it starts
// afterwards) and starts a thread that, on such a signal, removes the runtime folder and then
// ends the process with that signal. Call first thing in main(), before other threads start.
void InstallSignalCleanup();

}  // namespace velview
