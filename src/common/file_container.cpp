#include "common/file_container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "common/file_io.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

void AppendLe(std::string& out, const void* p, std::size_t n) {
    // The stored layout is little-endian, as is every platform this program builds on.
    static_assert(std::endian::native == std::endian::little);
    out.append(static_cast<const char*>(p), n);
}

bool IsBareName(const std::string& n) {
    return !n.empty() && n.find('/') == std::string::npos && n != "." && n != "..";
}

// Birth time where the file system records one, else the last-write time.
double CreationTimeOf(const fs::path& p, double writeTime) {
#ifdef STATX_BTIME
    struct statx sx {};
    if (::statx(AT_FDCWD, p.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        return UnixToDateTime(static_cast<double>(sx.stx_btime.tv_sec) + sx.stx_btime.tv_nsec / 1e9);
#endif
    (void)p;
    return writeTime;
}

}  // namespace

TFileContainer::TFileContainer(const EmbeddedFile& f)
    : fileName_(f.name), content_(f.bytes()), creationTime_(f.creationTime), writeTime_(f.writeTime) {}

void TFileContainer::SetFileName(const std::string& nameOrPath) {
    if (nameOrPath.empty()) {
        fileName_.clear();
        content_.clear();
        creationTime_ = writeTime_ = 0;
        return;
    }
    if (nameOrPath.find('/') == std::string::npos) {
        fileName_ = nameOrPath;
        return;
    }
    const fs::path p(nameOrPath);
    std::string bytes = ReadRegularFile(p);
    double w = 0;
    FileWriteTime(p, w);
    content_ = std::move(bytes);
    writeTime_ = w;
    creationTime_ = CreationTimeOf(p, w);
    fileName_ = p.filename().string();
}

std::string TFileContainer::SaveData() const {
    std::string out;
    out.reserve(20 + content_.size());
    AppendLe(out, &creationTime_, 8);
    AppendLe(out, &writeTime_, 8);
    const auto n = static_cast<std::int32_t>(content_.size());
    AppendLe(out, &n, 4);
    out += content_;
    return out;
}

void TFileContainer::LoadData(std::string_view d) {
    if (d.size() < 20) throw IoError("embedded file data: " + std::to_string(d.size()) + " bytes, header needs 20");
    std::int32_t n = 0;
    std::memcpy(&creationTime_, d.data(), 8);
    std::memcpy(&writeTime_, d.data() + 8, 8);
    std::memcpy(&n, d.data() + 16, 4);
    if (n < 0 || static_cast<std::size_t>(n) != d.size() - 20)
        throw IoError("embedded file data: length " + std::to_string(n) + " does not match the " +
                      std::to_string(d.size() - 20) + " bytes held");
    content_.assign(d.substr(20));
}

bool TFileContainer::SameContent(const fs::path& path) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) != content_.size())
        return false;
    try {
        return ReadRegularFile(path, content_.size()) == content_;
    } catch (const IoError&) {
        return false;
    }
}

bool TFileContainer::NeedsWriting(const fs::path& folder) const {
    const fs::path target = folder / fileName_;
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return true;
    return !SameContent(target) || S_ISLNK(st.st_mode);
}

bool TFileContainer::Extract(const fs::path& folder) {
    if (!IsBareName(fileName_)) throw IoError("embedded file has no valid name: '" + fileName_ + "'");
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    if (!NeedsWriting(folder)) return false;
    const fs::path target = folder / fileName_;
    WriteFileAtomic(target, content_, 0600);
    // Linux has no settable creation time; the write time carries the embedded stamp.
    SetFileWriteTime(target, writeTime_);
    extractedFolder_ = folder;
    return true;
}

bool TFileContainer::RemoveExtracted() {
    if (extractedFolder_.empty()) return false;
    const fs::path target = extractedFolder_ / fileName_;
    return ::unlink(target.c_str()) == 0;
}

bool TFileContainer::Equals(const TFileContainer& other) const {
    if (content_.empty() && other.content_.empty()) return true;
    return SaveData() == other.SaveData();
}

}  // namespace velview
