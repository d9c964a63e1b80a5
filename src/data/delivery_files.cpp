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

ResolvedFile ResolveDeliveryFile(const fs::path& folder, std::string_view name) {
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
    // ignoring letter case, only when that fails.
    fs::path cur = folder;
    for (std::string_view part : parts) cur /= std::string(part);
    struct stat st {};
    if (::stat(cur.c_str(), &st) != 0) {
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
    r.path = cur;
    if (!S_ISREG(st.st_mode)) {
        r.status = FileStatus::NotRegular;
        return r;
    }
    r.size = st.st_size;
    r.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    r.status = ::access(cur.c_str(), R_OK) == 0 ? FileStatus::Ok : FileStatus::Unreadable;
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
