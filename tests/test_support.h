// Helpers shared by the tests: a private scratch folder per test, file helpers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velview::test {

// A fresh folder removed again when the object goes out of scope. It also points the
// per-user settings store into itself, so tests never touch the real user settings.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& file);

}  // namespace velview::test

namespace velview::test {

struct ProcessResult {
    int exitCode = -1;     // exit status, or -1 when ended by a signal
    int signal = 0;        // the signal that ended it, 0 when it exited
    std::string out, err;
};

// Runs velview-cli with the arguments and waits for it. `tmpdir` (when not empty) becomes its
// TMPDIR, and XDG_RUNTIME_DIR is removed, so its runtime folder lands in a known place.
ProcessResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& tmpdir = {});
// RunCli with the scratch folder as TMPDIR and its "config" sub-folder as the user's settings
// store, so a run neither reads nor changes the real settings.
ProcessResult RunCliIn(const ScratchDir& dir, const std::vector<std::string>& args);

}  // namespace velview::test
