// One embedded file: its bytes and time stamps, its stored "Data" layout, and the rules for
// writing it out into a folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/embedded_data.h"

namespace velview {

class TFileContainer {
public:
    TFileContainer() = default;
    explicit TFileContainer(const EmbeddedFile& file);

    const std::string& FileName() const { return fileName_; }
    // The path of an existing file loads its bytes and times and keeps only the bare name; a
    // bare name is kept as it is; an empty value clears content and times.
    void SetFileName(const std::string& nameOrPath);

    const std::string& Content() const { return content_; }
    void SetContent(std::string content) { content_ = std::move(content); }
    double CreationTime() const { return creationTime_; }
    double WriteTime() const { return writeTime_; }
    void SetTimes(double creation, double write) { creationTime_ = creation; writeTime_ = write; }
    const std::filesystem::path& ExtractedFolder() const { return extractedFolder_; }

    // The stored layout: creation time and write time (IEEE doubles), the content length
    // (signed 32-bit) and the bytes, little-endian.
    std::string SaveData() const;
    // Reads the stored layout; throws IoError when it is malformed.
    void LoadData(std::string_view data);

    // Writes the content into the folder when it needs writing; sets the file's write time
    // to the stored one. False when the folder does not exist or nothing needed writing.
    // Throws IoError when writing fails.
    bool Extract(const std::filesystem::path& folder);
    // Deletes the file of the last extraction; reports whether it did.
    bool RemoveExtracted();
    // A missing file needs writing, and so does one whose content differs: a differing file
    // is never used in place of the embedded one.
    bool NeedsWriting(const std::filesystem::path& folder) const;
    bool SameContent(const std::filesystem::path& path) const;
    bool Equals(const TFileContainer& other) const;

private:
    std::string fileName_;
    std::string content_;
    double creationTime_ = 0;
    double writeTime_ = 0;
    std::filesystem::path extractedFolder_;
};

}  // namespace velview
