// Build-time encoder of the built-in data: turns the readable UTF-8 sources under data/ into
// the files the program carries (encoded settings files, CP932 texts with CR LF).
#include <cstdio>
#include <exception>
#include <string>

#include "common/ext_string_list.h"
#include "common/file_io.h"
#include "common/settings_file.h"
#include "common/text_encoding.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: velview-tin settings|text IN OUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    try {
        const std::string src = velview::ReadRegularFile(argv[2]);
        std::size_t bad = 0;
        if (!velview::text::IsValidUtf8(src, &bad)) {
            std::fprintf(stderr, "%s: byte offset %zu: not UTF-8\n", argv[2], bad);
            return 2;
        }
        if (mode == "settings") {
            velview::WriteSettingsText(src, argv[3]);
        } else if (mode == "text") {
            std::string out;
            for (const auto& l : velview::EncodeLinesCp932(velview::SplitLines(src), argv[2])) out += l + "\r\n";
            velview::WriteFileAtomic(argv[3], out);
        } else {
            std::fprintf(stderr, "velview-tin: unknown mode '%s'\n", mode.c_str());
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velview-tin: %s\n", e.what());
        return 2;
    }
    return 0;
}
