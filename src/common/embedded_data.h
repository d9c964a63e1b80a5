// Files compiled into the program (generated at build time from data/).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace velview {

struct EmbeddedFile {
    const char* name;          // bare file name, e.g. "Ksh102.txt" or "EnTyp.tin"
    const unsigned char* data;
    std::size_t size;
    double creationTime;       // days since 30 December 1899 (UTC), when it was embedded
    double writeTime;
    std::string_view bytes() const { return {reinterpret_cast<const char*>(data), size}; }
};

// The files the running program needs beside itself (work-type masters, licence text).
std::span<const EmbeddedFile> EmbeddedSystemFiles();
// The standard definition files, by name ("EnTyp.tin", "EntInfo.tin"); null when absent.
const EmbeddedFile* EmbeddedStandardFile(std::string_view name);

}  // namespace velview
