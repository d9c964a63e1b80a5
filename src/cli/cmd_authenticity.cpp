// velview-cli verify / tamper: the tamper check of electronic blackboard photos, and the
// writer of check values for tests and tools.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "checks/authenticity.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "common/file_io.h"
#include "common/text_encoding.h"

namespace velview::cli {
namespace fs = std::filesystem;

namespace {
bool IsCheckable(const fs::path& p) {
    const std::string e = p.extension().string();
    return text::EqualsAsciiNoCase(e, ".jpg") || text::EqualsAsciiNoCase(e, ".jpeg") || text::EqualsAsciiNoCase(e, ".svg");
}
}  // namespace

int VerifyCommand(const Args& args) {
    bool json = false;
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& a : args) {
        if (a == "--json") {
            json = true;
        } else if (fs::is_directory(a, ec)) {
            std::vector<fs::path> found;
            for (fs::recursive_directory_iterator it(a, fs::directory_options::skip_permission_denied, ec), end;
                 !ec && it != end; it.increment(ec))
                if (it->is_regular_file(ec) && IsCheckable(it->path())) found.push_back(it->path());
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::exists(a, ec)) {
            files.emplace_back(a);
        } else {
            Error(a + ": no such file or folder");
            return 2;
        }
    }
    if (files.empty() && args.empty()) {
        Error("usage: velview-cli verify DIR|FILE... [--json]");
        return 2;
    }
    JsonWriter w;
    w.BeginArray();
    int tampered = 0;
    for (const fs::path& f : files) {
        const AuthenticityStatus s = Authenticity(f);
        if (s.abnormal) ++tampered;
        if (json) {
            w.BeginObject()
                .Field("file", f.string())
                .Field("status", s.status)
                .Field("kind", s.kind == 1 ? "SVG" : "JPEG")
                .Field("abnormal", s.abnormal)
                .Field("category", static_cast<int>(s.category))
                .Field("not_checkable", s.notCheckable)
                .Field("text", AuthenticityText(s))
                .EndObject();
        } else {
            std::printf("%s\t%d\t%s\n", f.c_str(), s.status, AuthenticityText(s).c_str());
        }
    }
    w.EndArray();
    if (json) std::printf("%s\n", w.Text().c_str());
    return tampered ? 1 : 0;
}

int TamperCommand(const Args& args) {
    if (args.size() != 4 || args[0] != "sign" || args[2] != "--out") {
        Error("usage: velview-cli tamper sign FILE --out FILE2");
        return 2;
    }
    const std::string signedJpeg = SignJpeg(ReadRegularFile(args[1], std::uint64_t(1) << 30));
    WriteFileAtomic(args[3], signedJpeg);
    return 0;
}

}  // namespace velview::cli
