// Finding files of a delivery the way Windows media name them (case-insensitively), and
// refusing names that lead outside the delivery or to something other than a regular file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace velview {

// The entry of `folder` whose name equals `name` ignoring ASCII case (an exact match wins);
// empty when there is none.
std::filesystem::path FindEntryNoCase(const std::filesystem::path& folder, std::string_view name);

enum class FileStatus {
    Ok,          // a readable regular file inside the delivery
    Empty,       // no file name given
    Missing,     // no such file
    Outside,     // an absolute name or one with ".." components
    NotRegular,  // a folder, device, FIFO or socket
    Unreadable,  // a regular file that cannot be opened
};
const char* FileStatusText(FileStatus s);

struct ResolvedFile {
    FileStatus status = FileStatus::Empty;
    std::filesystem::path path;  // the real path when Ok (and when found but unusable)
    std::int64_t size = 0;       // of a regular file
    std::int64_t mtimeNs = 0;    // last-write time in nanoseconds since 1970
};

// Resolves a file name of the delivery data, relative to `folder` (its components matched
// case-insensitively, "\" and "/" both separating). Names that are absolute or contain ".."
// are never looked at.
ResolvedFile ResolveDeliveryFile(const std::filesystem::path& folder, std::string_view name);

// The same resolution for many names of one folder: the folder is opened once and names are
// looked up relative to it, so each photo costs one short lookup instead of a walk along the
// whole path. Falls back to whole paths when the folder cannot be opened.
class DeliveryFolder {
public:
    // `openFolder` false resolves by whole paths (for a single name, saving the open).
    // Resolve may be called from several threads at once.
    explicit DeliveryFolder(std::filesystem::path folder, bool openFolder = true);
    ~DeliveryFolder();
    DeliveryFolder(const DeliveryFolder&) = delete;
    DeliveryFolder& operator=(const DeliveryFolder&) = delete;
    ResolvedFile Resolve(std::string_view name) const;

private:
    std::filesystem::path folder_;
    int fd_ = -1;  // -1: whole paths
};

// A path as the data fields hold it: the folder (ending in "/") followed by the name.
std::string JoinFieldPath(const std::string& folder, std::string_view name);
// Splits a field path at the last separator ("/" or "\").
void SplitFieldPath(std::string_view path, std::string& folder, std::string& name);

}  // namespace velview
