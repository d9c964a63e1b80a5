#include "data/delivery_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/text_encoding.h"

namespace velview {
namespace fs = std::filesystem;

fs::path FindEntryNoCase(const fs::path& folder, std::string_view name) {
    if (name.empty()) return {};
    std::error_code ec;
    const fs::path exact = folder / std::string(name);
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (text::EqualsAsciiNoCase(entry, name)) return it->path();
    }
    return {};
}

const char* FileStatusText(FileStatus s) {
    switch (s) {
        case FileStatus::Ok: return "ok";
        case FileStatus::Empty: return "no file name";
        case FileStatus::Missing: return "file not found";
        case FileStatus::Outside: return "file name leads outside the delivery";
        case FileStatus::NotRegular: return "not a regular file";
        case FileStatus::Unreadable: return "file cannot be read";
    }
    return "?";
}

namespace {

// Whether the mode bits alone grant reading to this process, saving a system call per photo
// on large deliveries. When they do not (group rights, ACLs), access() decides; a file that
// still cannot be opened is reported when it is read.
bool LooksReadable(const struct stat& st) {
    static const uid_t euid = ::geteuid();
    if (euid == 0) return true;
    if (st.st_uid == euid) return (st.st_mode & S_IRUSR) != 0;
    return (st.st_mode & S_IROTH) != 0 && (st.st_mode & S_IRGRP) != 0;
}

}  // namespace

ResolvedFile ResolveDeliveryFile(const fs::path& folder, std::string_view name) {
    return DeliveryFolder(folder, false).Resolve(name);
}

DeliveryFolder::DeliveryFolder(fs::path folder, bool openFolder) : folder_(std::move(folder)) {
    if (openFolder) fd_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

DeliveryFolder::~DeliveryFolder() {
    if (fd_ >= 0) ::close(fd_);
}

ResolvedFile DeliveryFolder::Resolve(std::string_view name) const {
    const fs::path& folder = folder_;
    ResolvedFile r;
    if (name.empty()) return r;
    if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':')) {
        r.status = FileStatus::Outside;
        return r;
    }
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i < name.size();) {
        std::size_t j = name.find_first_of("/\\", i);
        if (j == std::string_view::npos) j = name.size();
        std::string_view part = name.substr(i, j - i);
        if (part == "..") {
            r.status = FileStatus::Outside;
            return r;
        }
        if (!part.empty() && part != ".") parts.push_back(part);
        i = j + 1;
    }
    // The name as written first (one call for the usual case); component by component,
    // ignoring letter case, only when that fails. Paths are put together as text: a
    // filesystem path object per step costs more than the lookup on large deliveries.
    std::string relative;
    for (std::string_view part : parts) {
        if (!relative.empty()) relative += '/';
        relative += part;
    }
    std::string whole = folder.native();
    if (!whole.empty() && whole.back() != '/') whole += '/';
    whole += relative;
    struct stat st {};
    const int found = fd_ >= 0 ? ::fstatat(fd_, relative.c_str(), &st, 0) : ::stat(whole.c_str(), &st);
    fs::path cur;
    if (found == 0) {
        cur = fs::path(std::move(whole));
    } else {
        cur = folder;
        for (std::string_view part : parts) {
            fs::path next = FindEntryNoCase(cur, part);
            if (next.empty()) {
                r.status = FileStatus::Missing;
                r.path = cur / std::string(part);
                return r;
            }
            cur = next;
        }
        if (::stat(cur.c_str(), &st) != 0) {
            r.status = FileStatus::Missing;
            r.path = cur;
            return r;
        }
    }
    r.path = std::move(cur);
    if (!S_ISREG(st.st_mode)) {
        r.status = FileStatus::NotRegular;
        return r;
    }
    r.size = st.st_size;
    r.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    r.status = LooksReadable(st) || ::access(r.path.c_str(), R_OK) == 0 ? FileStatus::Ok : FileStatus::Unreadable;
    return r;
}

std::string JoinFieldPath(const std::string& folder, std::string_view name) { return folder + std::string(name); }

void SplitFieldPath(std::string_view path, std::string& folder, std::string& name) {
    const std::size_t p = path.find_last_of("/\\");
    if (p == std::string_view::npos) {
        folder.clear();
        name = std::string(path);
    } else {
        folder = std::string(path.substr(0, p + 1));
        name = std::string(path.substr(p + 1));
    }
}

}  // namespace velview
