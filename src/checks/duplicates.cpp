#include "checks/duplicates.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

#include "common/file_io.h"
#include "common/md5.h"
#include "common/text_encoding.h"
#include "data/db_exp_inp.h"
#include "data/delivery_files.h"
#include "data/pct_info.h"
#include "imaging/svg_photo.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

bool Ext(const fs::path& p, const char* e) { return text::EqualsAsciiNoCase(p.extension().string(), e); }

// Fills size (and digest) of an entry from its file.
bool Measure(TComparisonPctFileInfo& e, bool withDigest, TComparisonFileList& list) {
    if (e.isSvg) {
        auto photo = ExtractSvgPhotoJpegFromFile(e.path);
        list.CountRead(static_cast<std::uint64_t>(e.fileSize));
        if (!photo) return false;
        e.size = static_cast<std::int64_t>(photo->size());
        if (withDigest) e.digest = Md5Hex(*photo);
        return true;
    }
    e.size = e.fileSize;
    if (withDigest && e.digest.empty()) {
        try {
            e.digest = Md5OfFile(e.path);
            list.CountRead(static_cast<std::uint64_t>(e.fileSize));
        } catch (const IoError&) {
            return false;
        }
    }
    return true;
}

// Identical contents, read block by block, stopping at the first difference.
bool SameFileContent(const fs::path& a, const fs::path& b, TComparisonFileList& list) {
    const int fa = ::open(a.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fa < 0) return false;
    const int fb = ::open(b.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fb < 0) {
        ::close(fa);
        return false;
    }
    static thread_local std::vector<char> ba(1 << 16), bb(1 << 16);
    bool same = true;
    // A small first block: most files of equal size differ near their start, and then
    // little is read; the rest goes in large blocks.
    std::size_t block = 4096;
    for (;; block = ba.size()) {
        const ssize_t na = ::read(fa, ba.data(), block);
        const ssize_t nb = ::read(fb, bb.data(), block);
        if (na < 0 || nb < 0 || na != nb) {
            same = false;
            break;
        }
        list.CountRead(static_cast<std::uint64_t>(na) * 2);
        if (na == 0) break;
        if (std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(na)) != 0) {
            same = false;
            break;
        }
    }
    ::close(fa);
    ::close(fb);
    return same;
}

bool SameEntries(const TComparisonPctFileInfo& a, const TComparisonPctFileInfo& b, TComparisonFileList& list) {
    if (a.isSvg || b.isSvg) {
        // SVG photos are the same when their photo layers are.
        auto pa = a.isSvg ? ExtractSvgPhotoJpegFromFile(a.path) : std::optional<std::string>(ReadRegularFile(a.path));
        auto pb = b.isSvg ? ExtractSvgPhotoJpegFromFile(b.path) : std::optional<std::string>(ReadRegularFile(b.path));
        list.CountRead(static_cast<std::uint64_t>(a.fileSize + b.fileSize));
        return pa && pb && *pa == *pb;
    }
    return SameFileContent(a.path, b.path, list);
}

// Every name looked up, the halves of a large list on two threads: on a delivery of
// thousands of photos the lookups cost as much as the comparisons.
std::vector<ResolvedFile> ResolveAll(const fs::path& folder, const std::vector<std::string>& names) {
    std::vector<ResolvedFile> files(names.size());
    const DeliveryFolder dir(folder);
    const auto resolve = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) files[i] = dir.Resolve(names[i]);
    };
    const std::size_t half = names.size() / 2;
    if (names.size() < 512 || std::thread::hardware_concurrency() < 2) {
        resolve(0, names.size());
        return files;
    }
    std::thread other;
    try {
        other = std::thread(resolve, half, names.size());
    } catch (const std::system_error&) {
        resolve(0, names.size());
        return files;
    }
    resolve(0, half);
    other.join();
    return files;
}

std::string Line(const std::vector<int>& group) {
    std::string s;
    for (std::size_t i = 0; i < group.size(); ++i) s += (i ? "," : "") + std::to_string(group[i]);
    return s;
}

}  // namespace

void TComparisonFileList::BuildEntries(const fs::path& folder, const std::vector<std::string>& names, bool withDigests) {
    sawMissing_ = false;
    // The entries of the last run by photo index, so each photo finds its own in one step.
    std::vector<int> previous(names.size(), -1);
    for (std::size_t k = 0; k < entries_.size(); ++k) {
        const int index = entries_[k].photoIndex;
        if (index >= 0 && static_cast<std::size_t>(index) < names.size()) previous[static_cast<std::size_t>(index)] = static_cast<int>(k);
    }
    std::vector<TComparisonPctFileInfo> next;
    next.reserve(names.size());
    const std::vector<ResolvedFile> files = ResolveAll(folder, names);
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const ResolvedFile& f = files[static_cast<std::size_t>(i)];
        if (f.status == FileStatus::Missing) sawMissing_ = true;
        if (f.status != FileStatus::Ok || !(Ext(f.path, ".jpg") || Ext(f.path, ".svg"))) continue;
        // An entry is reused only while its file is the same file, unchanged.
        const int old = previous[static_cast<std::size_t>(i)];
        if (old >= 0) {
            TComparisonPctFileInfo& e = entries_[static_cast<std::size_t>(old)];
            if (e.path == f.path && e.fileSize == f.size && e.mtimeNs == f.mtimeNs) {
                e.matched = false;
                if (withDigests && e.digest.empty()) Measure(e, true, *this);
                next.push_back(std::move(e));
                continue;
            }
        }
        TComparisonPctFileInfo e;
        e.photoIndex = i;
        e.isSvg = Ext(f.path, ".svg");
        e.path = f.path;
        e.fileSize = f.size;
        e.mtimeNs = f.mtimeNs;
        if (Measure(e, withDigests, *this)) next.push_back(std::move(e));
    }
    entries_ = std::move(next);
}

namespace {
std::vector<std::string> Search(bool multipleMedia, TComparisonFileList& list);
}

std::vector<std::string> FindDuplicates(const fs::path& folder, const std::vector<std::string>& names,
                                        bool multipleMedia, TComparisonFileList& list) {
    list.BuildEntries(folder, names, multipleMedia);
    return Search(multipleMedia, list);
}

std::vector<std::string> FindDuplicatesAuto(const fs::path& folder, const std::vector<std::string>& names,
                                            TComparisonFileList& list, bool& multipleMedia) {
    // One pass over the files tells the mode; digests are then computed only for entries
    // that meet an entry of equal size.
    list.BuildEntries(folder, names, false);
    multipleMedia = list.SawMissingFile();
    return Search(multipleMedia, list);
}

namespace {
std::vector<std::string> Search(bool multipleMedia, TComparisonFileList& list) {
    auto& entries = list.Entries();
    if (entries.size() < 2) return {};
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        if (a.size != b.size) return a.size < b.size;
        if (a.primary != b.primary) return a.primary;
        return a.photoIndex < b.photoIndex;
    });
    // Only entries of equal size can be the same; each run of them is searched on its own,
    // so the runs are shared out between two threads.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < entries.size();) {
        std::size_t j = i + 1;
        while (j < entries.size() && entries[j].size == entries[i].size) ++j;
        if (j - i > 1 && entries[i].size > 0) runs.emplace_back(i, j);
        i = j;
    }
    std::vector<std::vector<std::vector<int>>> found(runs.size());
    const auto searchRun = [&](std::size_t r) {
        const auto [from, to] = runs[r];
        for (std::size_t i = from; i < to; ++i) {
            TComparisonPctFileInfo& a = entries[i];
            if (!a.primary || a.matched) continue;
            std::vector<int> group;
            for (std::size_t j = i + 1; j < to; ++j) {
                TComparisonPctFileInfo& b = entries[j];
                if (b.matched) continue;
                bool same = false;
                if (multipleMedia) {
                    if (a.digest.empty()) Measure(a, true, list);
                    if (b.digest.empty()) Measure(b, true, list);
                    same = !a.digest.empty() && a.digest == b.digest;
                } else {
                    same = SameEntries(a, b, list);
                }
                if (same) {
                    if (group.empty()) group.push_back(a.photoIndex);
                    group.push_back(b.photoIndex);
                    b.matched = true;
                }
            }
            if (!group.empty()) {
                a.matched = true;
                found[r].push_back(std::move(group));
            }
        }
    };
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t r; (r = next++) < runs.size();) searchRun(r);
    };
    std::thread other;
    if (runs.size() > 1 && std::thread::hardware_concurrency() > 1) {
        try {
            other = std::thread(work);
        } catch (const std::system_error&) {
        }
    }
    work();
    if (other.joinable()) other.join();
    std::vector<std::vector<int>> groups;
    for (auto& f : found)
        for (auto& g : f) groups.push_back(std::move(g));
    std::sort(groups.begin(), groups.end(), [](const auto& x, const auto& y) { return x.front() < y.front(); });
    std::vector<std::string> lines;
    for (const auto& g : groups) lines.push_back(Line(g));
    return lines;
}
}  // namespace

void ApplyDuplicateGroups(TPctInfoList& photos, const std::vector<std::string>& lines) {
    for (int i = 0; i < photos.Count(); ++i) photos.Items(i).duplicateGroup = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::size_t pos = 0;
        while (pos < lines[n].size()) {
            const std::size_t comma = lines[n].find(',', pos);
            const int index = std::atoi(lines[n].substr(pos, comma - pos).c_str());
            if (index >= 0 && index < photos.Count()) photos.Items(index).duplicateGroup = static_cast<int>(n) + 1;
            if (comma == std::string::npos) break;
            pos = comma + 1;
        }
    }
}

std::vector<std::string> PhotoFileNames(const TDBExpInp& f) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(f.Photos.Count()));
    for (int i = 0; i < f.Photos.Count(); ++i) {
        const std::string_view full = f.Photos.At(i)->FieldView(fld::PctFNm);
        names.emplace_back(full.substr(0, f.PhotoFolder.size()) == f.PhotoFolder ? full.substr(f.PhotoFolder.size()) : full);
    }
    return names;
}

std::vector<std::string> ComputeDuplicateGroups(TDBExpInp& f, TComparisonFileList& list, bool& multipleMedia) {
    std::vector<std::string> lines = FindDuplicatesAuto(f.PhotoFolder, PhotoFileNames(f), list, multipleMedia);
    ApplyDuplicateGroups(f.Photos, lines);
    return lines;
}

}  // namespace velview
