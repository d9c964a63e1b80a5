// Starting from a removable or optical medium: the program is copied to a private folder of
// the user and started from there, so that the medium can be changed while it runs (the
// photos of a delivery may span several media). Also the single-instance lock that tells the
// starter whether a copy already runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

enum class DriveKind { Fixed, Removable, Optical, Unknown };

struct MountInfo {
    std::string mountPoint;
    std::string fsType;
    std::string device;  // "major:minor"
};
// The mount holding `path` among the lines of a /proc/self/mountinfo text (the longest mount
// point that is a whole-component prefix of the path).
std::optional<MountInfo> FindMount(std::string_view mountinfo, const std::filesystem::path& path);
// Optical for CD/DVD file systems, Removable when the block device (or the disk it is a
// partition of) is marked removable in /sys; `sysBlock` is /sys/dev/block normally.
DriveKind DriveKindOfMount(const MountInfo& mount, const std::filesystem::path& sysBlock = "/sys/dev/block");
DriveKind DriveKindOf(const std::filesystem::path& path);

// The lock every running instance holds (shared); a starter on a medium asks whether anyone
// holds it. Kept in the private per-user folder.
class InstanceLock {
public:
    InstanceLock();  // takes the lock shared; never fails the start
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // Whether some instance holds the lock now.
    static bool AnyInstanceRuns();
    static std::filesystem::path LockFile();

private:
    int fd_ = -1;
};

// The private folder the program is copied into for a start from a medium (mode 0700).
std::filesystem::path MediaLaunchFolder();

// Copies each file into `folder` unless a file with the same digest is there already, then
// checks every copy against its source's digest. Returns the copies in order. Throws IoError
// when a copy cannot be made or does not match: a file the starter did not write is never
// started.
std::vector<std::filesystem::path> PrepareProgramCopy(const std::vector<std::filesystem::path>& files,
                                                      const std::filesystem::path& folder);

// The folder argument for the copy: the program folder's PHOTO sub-folder (the folder itself
// when the settings file "VELVIEW.TIN" names the standard "P22012403") when PHOTO.XML lies
// there; empty otherwise.
std::string MediaLaunchArgument(const std::filesystem::path& programFolder);

}  // namespace velview
