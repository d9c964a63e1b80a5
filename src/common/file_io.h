// Safe file primitives shared by every reader and writer: regular files only, no blocking on
// FIFOs or devices, bounded reads, and atomic replacement of output files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velview {

// An input/output failure: the message names the file and the reason.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The system's text for an errno value.
std::string ErrnoText(int err);

// True when the path names an existing regular file (links followed).
bool IsRegularFile(const std::filesystem::path& path);

// Reads a whole regular file. Refuses (IoError) anything that is not a regular file, without
// blocking on FIFOs or devices, and files larger than maxBytes.
std::string ReadRegularFile(const std::filesystem::path& path,
                            std::uint64_t maxBytes = std::uint64_t(1) << 31);

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it
// over the target, so a crash never leaves half a file. The new file gets `mode` (less umask).
// Throws IoError naming the target.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, unsigned mode = 0644);

// Creates the folder and its missing parents; throws IoError when that fails.
void CreateDirectories(const std::filesystem::path& dir);

// Last-write time of a file as days since 30 December 1899 (UTC), or false when unknown.
bool FileWriteTime(const std::filesystem::path& path, double& dateTime);

// Sets the last-write time (days since 30 December 1899, UTC); the access time is untouched.
// Linux keeps no settable creation time, so only the write time can be restored.
void SetFileWriteTime(const std::filesystem::path& path, double dateTime);

// Conversions between seconds since 1970 and days since 30 December 1899.
double UnixToDateTime(double unixSeconds);
double DateTimeToUnix(double dateTime);

}  // namespace velview
