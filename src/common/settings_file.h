// Whole-file operations on settings files, shared by the command-line tool and the build's
// encoder of the built-in data.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

// The file's settings text as the serializer writes it (indented headers, name=value lines,
// an empty line after each section), UTF-8 with LF line ends. Throws IoError (an
// EncodedFormatError names the byte offset). Undecodable bytes are added to `problems`.
std::string DumpSettingsFile(const std::filesystem::path& in, std::vector<std::string>& problems);

// Reads a settings file in either form and writes it in the form the output's extension names
// (".ini" plain text, anything else encoded). Throws IoError.
void ConvertSettingsFile(const std::filesystem::path& in, const std::filesystem::path& out,
                         std::vector<std::string>& problems);

// Parses a UTF-8 settings text and writes it in the form the output's extension names.
void WriteSettingsText(std::string_view utf8Text, const std::filesystem::path& out);

}  // namespace velview
