// A list of text lines with typed name=value access, and its binary file form, the encoded
// line list (".tin"). Text is UTF-8 in memory and CP932 on disk.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_io.h"

namespace velview {

// A file that is not a valid encoded line list. `offset` is the byte where reading failed.
class EncodedFormatError : public IoError {
public:
    EncodedFormatError(const std::string& file, std::size_t offset, const std::string& what);
    std::size_t offset() const { return offset_; }

private:
    std::size_t offset_;
};

// The value every "integer or nothing" read yields when there is no number.
constexpr int kNoInteger = 536870911;  // 0x1FFFFFFF

// Parses an integer the way settings files write them: optional blanks, an optional sign,
// decimal digits, or "$" / "0x" followed by up to eight hexadecimal digits. Decimal values
// outside the 32-bit range are no number.
bool ParseSettingsInteger(std::string_view text, int& value);

// Removes leading and trailing characters with codes up to 32.
std::string_view TrimControl(std::string_view s);

// Splits text into lines at CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Decodes the bytes of an encoded line list into its lines (still in the file's encoding).
// Throws EncodedFormatError naming the offset of the fault; never allocates more than the
// bytes held.
std::vector<std::string> DecodeLineList(std::string_view bytes, const std::string& fileForErrors);
// The bytes of an encoded line list; a non-zero mode byte rotates every line byte.
std::string EncodeLineList(const std::vector<std::string>& lines, unsigned char mode);

class TExtStringList {
public:
    TExtStringList() = default;
    TExtStringList(const TExtStringList& other) : verifyAfterSave(other.verifyAfterSave), lines_(other.lines_) {}
    TExtStringList& operator=(const TExtStringList& other);

    // --- the lines ---
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_[static_cast<std::size_t>(i)]; }
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void SetLine(int i, std::string line);
    void Add(std::string line);
    void Insert(int i, std::string line);
    void Delete(int i);
    void Clear();
    // Whole-line and key look-ups ignore ASCII letter case; the first match wins; -1 if none.
    int IndexOf(std::string_view line) const;
    int IndexOfName(std::string_view name) const;
    // The text of all lines, each ended by `lineEnd`.
    std::string Text(std::string_view lineEnd = "\r\n") const;
    void SetText(std::string_view text);

    static std::string_view KeyOf(std::string_view line);
    static std::string_view ValueOf(std::string_view line);

    // --- typed reads: the default when the key is missing ---
    std::string ReadString(std::string_view name, std::string_view def = "") const;
    bool ReadBool(std::string_view name) const;  // true only for exactly "True"
    bool ReadBool(std::string_view name, bool def) const;  // default also for an empty value
    int ReadInteger(std::string_view name, int def) const;
    int ReadIntegerOrZero(std::string_view name) const { return ReadInteger(name, 0); }
    int ReadIntegerOrNone(std::string_view name) const { return ReadInteger(name, kNoInteger); }
    double ReadReal(std::string_view name) const;
    // These change the target only when the key exists.
    void ReadInto(std::string_view name, bool& target) const;
    void ReadInto(std::string_view name, int& target) const;
    bool ReadInto(std::string_view name, std::string& target) const;

    // --- typed writes ---
    void WriteString(std::string_view name, std::string_view value);
    void WriteBool(std::string_view name, bool value);
    void WriteInteger(std::string_view name, int value);
    void WriteHex(std::string_view name, unsigned value);
    void WriteReal(std::string_view name, double value);

    // --- files ---
    // Clears the list, then reads an encoded line list; a missing file leaves it empty.
    // Throws IoError (EncodedFormatError for a malformed file). Returns the places where
    // bytes were not valid CP932 (they read as U+FFFD), as "line N, byte M" texts.
    std::vector<std::string> LoadEncoded(const std::filesystem::path& file);
    // Writes the lines as an encoded line list. Throws IoError, also when a line holds a
    // character CP932 cannot store (nothing is written then).
    void SaveEncoded(const std::filesystem::path& file, unsigned char mode);
    // Plain text lines in CP932 with CR LF line ends (the ".ini" form).
    std::vector<std::string> LoadPlain(const std::filesystem::path& file);
    void SavePlain(const std::filesystem::path& file) const;
    // True when the file exists and loads as an encoded line list without error.
    static bool TestFile(const std::filesystem::path& file);

    // After an encoded save, re-read the file and rewrite it until it loads.
    bool verifyAfterSave = false;
    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    std::vector<std::string> lines_;
};

// Converts lines to CP932; throws IoError naming the file, line and character that CP932
// cannot hold.
std::vector<std::string> EncodeLinesCp932(const std::vector<std::string>& lines, const std::string& file);
// Converts CP932 lines to UTF-8, adding a "line N, byte M" text to `problems` for each
// undecodable byte.
std::vector<std::string> DecodeLinesCp932(const std::vector<std::string>& lines,
                                          std::vector<std::string>& problems);

}  // namespace velview
