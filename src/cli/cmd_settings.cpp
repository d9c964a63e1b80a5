#include <cstdio>

#include "cli/commands.h"
#include "common/settings_file.h"

namespace velview::cli {

void Error(const std::string& message) { std::fprintf(stderr, "velview-cli: %s\n", message.c_str()); }

namespace {
void Warn(const std::string& file, const std::vector<std::string>& problems) {
    for (const auto& p : problems) std::fprintf(stderr, "velview-cli: warning: %s: %s\n", file.c_str(), p.c_str());
}
}  // namespace

int SettingsCommand(const Args& args) {
    std::vector<std::string> problems;
    if (args.size() == 2 && args[0] == "dump") {
        const std::string text = DumpSettingsFile(args[1], problems);
        Warn(args[1], problems);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    if (args.size() == 3 && args[0] == "encode") {
        ConvertSettingsFile(args[1], args[2], problems);
        Warn(args[1], problems);
        return 0;
    }
    Error("usage: velview-cli settings dump FILE | settings encode IN OUT");
    return 2;
}

}  // namespace velview::cli
