#include "browse/media_launch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "common/file_io.h"
#include "common/md5.h"
#include "common/runtime_folder.h"
#include "common/tree_ini.h"
#include "data/delivery_files.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

// mountinfo escapes blanks and a few other bytes as \ooo.
std::string Unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && s.size() - i >= 4) {
            const auto d = [&](std::size_t k) { return s[k] >= '0' && s[k] <= '7'; };
            if (d(i + 1) && d(i + 2) && d(i + 3)) {
                out += static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0'));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool IsUnder(const fs::path& path, const fs::path& mountPoint) {
    auto p = path.begin();
    for (auto m = mountPoint.begin(); m != mountPoint.end(); ++m, ++p) {
        if (m->empty()) continue;  // a trailing separator
        if (p == path.end() || *p != *m) return false;
    }
    return true;
}

std::string ReadSmallFile(const fs::path& p) {
    std::ifstream in(p);
    std::string s;
    std::getline(in, s);
    return s;
}

}  // namespace

std::optional<MountInfo> FindMount(std::string_view mountinfo, const fs::path& path) {
    std::optional<MountInfo> best;
    std::size_t bestLength = 0;
    std::istringstream in{std::string(mountinfo)};
    for (std::string line; std::getline(in, line);) {
        // id parent major:minor root mount-point options [optional...] - fstype source super
        std::istringstream f(line);
        std::string id, parent, device, root, point;
        if (!(f >> id >> parent >> device >> root >> point)) continue;
        std::string word, fsType;
        while (f >> word && word != "-") {
        }
        if (!(f >> fsType)) continue;
        const std::string mountPoint = Unescape(point);
        if (!IsUnder(path, mountPoint)) continue;
        if (!best || mountPoint.size() >= bestLength) {
            best = MountInfo{mountPoint, fsType, device};
            bestLength = mountPoint.size();
        }
    }
    return best;
}

DriveKind DriveKindOfMount(const MountInfo& mount, const fs::path& sysBlock) {
    if (mount.fsType == "iso9660" || mount.fsType == "udf") return DriveKind::Optical;
    if (mount.device.empty()) return DriveKind::Unknown;
    const fs::path dev = sysBlock / mount.device;
    std::error_code ec;
    if (!fs::exists(dev, ec)) return DriveKind::Fixed;  // no block device: a virtual file system
    if (ReadSmallFile(dev / "removable") == "1") return DriveKind::Removable;
    // A partition: the flag is on its disk.
    if (fs::exists(dev / "partition", ec) && ReadSmallFile(dev / ".." / "removable") == "1") return DriveKind::Removable;
    const fs::path real = fs::canonical(dev, ec);
    if (!ec && fs::exists(real / "partition", ec) && ReadSmallFile(real.parent_path() / "removable") == "1")
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

DriveKind DriveKindOf(const fs::path& path) {
    std::ifstream in("/proc/self/mountinfo");
    if (!in) return DriveKind::Unknown;
    std::stringstream text;
    text << in.rdbuf();
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    const auto mount = FindMount(text.str(), ec ? path : real);
    return mount ? DriveKindOfMount(*mount) : DriveKind::Unknown;
}

fs::path InstanceLock::LockFile() { return RuntimeParentFolder() / ("Lumora_Norvane_VelView-" + std::to_string(::getuid()) + ".lock"); }

InstanceLock::InstanceLock() {
    fd_ = ::open(LockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool InstanceLock::AnyInstanceRuns() {
    const int fd = ::open(LockFile().c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

fs::path MediaLaunchFolder() {
    const fs::path folder = RuntimeParentFolder() / ("Lumora-VelView-launch-" + std::to_string(::getuid()));
    std::error_code ec;
    fs::create_directories(folder, ec);
    struct stat st {};
    // Only a folder of this user that nobody else may write is used.
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        throw IoError(folder.string() + ": not a private folder of this user");
    ::chmod(folder.c_str(), 0700);
    return folder;
}

std::vector<fs::path> PrepareProgramCopy(const std::vector<fs::path>& files, const fs::path& folder) {
    std::vector<fs::path> copies;
    for (const fs::path& source : files) {
        const std::string digest = Md5OfFile(source);
        const fs::path target = folder / source.filename();
        std::error_code ec;
        bool ready = fs::is_regular_file(target, ec) && Md5OfFile(target) == digest;
        if (!ready) {
            struct stat st {};
            const unsigned mode = ::stat(source.c_str(), &st) == 0 ? (st.st_mode & 0700) : 0600;
            WriteFileAtomic(target, ReadRegularFile(source, std::uint64_t(1) << 30), mode);
        }
        if (Md5OfFile(target) != digest) throw IoError(target.string() + ": the copy does not match " + source.string());
        copies.push_back(target);
    }
    return copies;
}

std::string MediaLaunchArgument(const fs::path& programFolder) {
    std::string sub = "PHOTO";
    const fs::path settings = FindEntryNoCase(programFolder, "VELVIEW.TIN");
    if (!settings.empty()) {
        try {
            TTreeIni ini(settings.string());
            if (ini.ReadString("EntType", "Code") == "P22012403") sub.clear();
        } catch (const std::exception&) {
        }
    }
    const fs::path folder = sub.empty() ? programFolder : FindEntryNoCase(programFolder, sub);
    if (folder.empty() || FindEntryNoCase(folder, "PHOTO.XML").empty()) return {};
    std::string arg = folder.string();
    if (arg.back() != '/') arg += '/';
    return arg;
}

}  // namespace velview
