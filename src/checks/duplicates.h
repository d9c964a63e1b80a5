// The search for photos whose files have identical content: byte comparison when every file
// is at hand, MD5 digests when some lie on another medium.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velview {

class TPctInfoList;
class TDBExpInp;

struct TComparisonPctFileInfo {
    int photoIndex = 0;
    std::string digest;      // MD5 of the file, or of the photo inside an SVG; empty until needed
    std::int64_t size = 0;   // file size, or the size of the SVG's photo
    bool primary = true;
    bool isSvg = false;
    bool matched = false;
    // What the entry was made from: it is reused only while the file is unchanged.
    std::filesystem::path path;
    std::int64_t fileSize = 0;
    std::int64_t mtimeNs = 0;
};

// Kept between runs, so that sizes and digests of unchanged files are not read again.
class TComparisonFileList {
public:
    // Adds an entry for every JPEG or SVG photo not yet listed (or changed since); clears the
    // matched flags of the others. `names` are the photo file names by photo index, relative
    // to `folder`.
    void BuildEntries(const std::filesystem::path& folder, const std::vector<std::string>& names, bool withDigests);
    // Whether the last BuildEntries met a named photo file that is missing.
    bool SawMissingFile() const { return sawMissing_; }
    std::vector<TComparisonPctFileInfo>& Entries() { return entries_; }
    // Bytes read for sizes, digests and comparisons since the list was made.
    std::uint64_t BytesRead() const { return bytesRead_.load(); }
    // Called by the comparison threads.
    void CountRead(std::uint64_t n) { bytesRead_ += n; }

private:
    std::vector<TComparisonPctFileInfo> entries_;
    std::atomic<std::uint64_t> bytesRead_{0};
    bool sawMissing_ = false;
};

// The duplicate groups as result lines ("5,12,30": photo indexes, the first started the
// group), ordered by their first index. Multiple-media mode compares digests.
std::vector<std::string> FindDuplicates(const std::filesystem::path& folder, const std::vector<std::string>& names,
                                        bool multipleMedia, TComparisonFileList& list);
// The same, choosing the mode as the viewer does: digests when any named photo file is
// missing from the folder (it lies on another medium), else byte comparison.
std::vector<std::string> FindDuplicatesAuto(const std::filesystem::path& folder, const std::vector<std::string>& names,
                                            TComparisonFileList& list, bool& multipleMedia);
// The group numbers of the records: the photos of line n get n, all others 0.
void ApplyDuplicateGroups(TPctInfoList& photos, const std::vector<std::string>& lines);

// The photo file names of a delivery by photo index, relative to its photo folder.
std::vector<std::string> PhotoFileNames(const TDBExpInp& f);
// The duplicate groups of a delivery's photos, written into the records' group numbers.
std::vector<std::string> ComputeDuplicateGroups(TDBExpInp& f, TComparisonFileList& list, bool& multipleMedia);

}  // namespace velview
