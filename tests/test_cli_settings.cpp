#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "common/ext_string_list.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunCli;
using test::ScratchDir;
using test::WriteBytes;

// A settings file as another program writes it: CP932 lines, every byte rotated right by two
// bits, built here byte by byte rather than through our own writer.
std::string ForeignTin(const std::vector<std::string>& cp932Lines) {
    std::string out(1, '\x01');
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le32(static_cast<std::uint32_t>(cp932Lines.size()));
    for (const auto& l : cp932Lines) {
        le32(static_cast<std::uint32_t>(l.size() + 1));
        for (unsigned char c : l) out += static_cast<char>((c >> 2) | ((c << 6) & 0xFF));
        out += '\0';
    }
    return out;
}

TEST(CliSettings, DumpPrintsAForeignFileExactly) {
    ScratchDir dir;
    // "写真" and "ｶﾅ" in CP932, a preamble line, nested indented sections, an empty value.
    const std::vector<std::string> lines = {"; header", "[EntType0000]", "Name=\x8e\xca\x90\x5e", "Empty=", "",
                                            " [Child]", " Kana=\xb6\xc5", "", "[Next]", "x=1", ""};
    WriteBytes(dir / "foreign.tin", ForeignTin(lines));
    auto r = RunCli({"settings", "dump", (dir / "foreign.tin").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "; header\n[EntType0000]\nName=写真\nEmpty=\n\n [Child]\n Kana=ｶﾅ\n\n[Next]\nx=1\n\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliSettings, EncodeAndDumpRoundTripThroughBothForms) {
    ScratchDir dir;
    const std::vector<std::string> lines = {"[A]", "k=\x92\x6c", "", " [B]", " b=2", ""};
    WriteBytes(dir / "in.tin", ForeignTin(lines));
    ASSERT_EQ(RunCli({"settings", "encode", (dir / "in.tin").string(), (dir / "mid.ini").string()}).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir / "mid.ini"), "[A]\r\nk=\x92\x6c\r\n\r\n [B]\r\n b=2\r\n\r\n");
    ASSERT_EQ(RunCli({"settings", "encode", (dir / "mid.ini").string(), (dir / "out.tin").string()}).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir / "out.tin"), ReadBytes(dir / "in.tin"));
    EXPECT_EQ(RunCli({"settings", "dump", (dir / "out.tin").string()}).out, "[A]\nk=値\n\n [B]\n b=2\n\n");
}

TEST(CliSettings, MalformedOrMissingFilesExitWithTwoAndAMessage) {
    ScratchDir dir;
    std::string huge("\x00\x01\x00\x00\x00\xf0\xff\xff\x7f", 9);  // one line of 2 GB in a tiny file
    huge += std::string(91, 'a');
    WriteBytes(dir / "huge.tin", huge);
    WriteBytes(dir / "short.tin", std::string("\x01\x02", 2));
    ::mkfifo((dir / "fifo.tin").c_str(), 0600);
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"settings", "dump", (dir / "huge.tin").string()}, "byte offset 5: length 2147483632 of line 1 exceeds"},
        {{"settings", "dump", (dir / "short.tin").string()}, "byte offset 2"},
        {{"settings", "dump", (dir / "none.tin").string()}, "no such file"},
        {{"settings", "dump", (dir / "fifo.tin").string()}, "not a regular file"},
        {{"settings", "encode", (dir / "huge.tin").string(), (dir / "x.ini").string()}, "byte offset 5"},
        {{"settings", "frobnicate"}, "usage"},
        {{"nonsense"}, "unknown command"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        auto r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "x.ini"));
}

TEST(CliStartup, ExtractsOpensAndRemovesEverything) {
    ScratchDir dir;
    // A folder left by a crashed run (its lock is free) is cleared; one whose owner still
    // runs (lock held) is kept.
    const std::string prefix = "velview-" + std::to_string(::getuid()) + "-";
    fs::create_directories(dir / (prefix + "crashd") / "VelView");
    WriteBytes(dir / (prefix + "crashd") / ".instance.lock", "");
    fs::permissions(dir / (prefix + "crashd"), fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(dir / (prefix + "living"));
    fs::permissions(dir / (prefix + "living"), fs::perms::owner_all, fs::perm_options::replace);
    WriteBytes(dir / (prefix + "living") / ".instance.lock", "");
    int held = ::open((dir / (prefix + "living") / ".instance.lock").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    auto r = RunCli({"startup"}, dir.path());
    ::close(held);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("EnTyp.tin: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[EntType0000]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("removed: yes"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / (prefix + "crashd")));
    EXPECT_TRUE(fs::exists(dir / (prefix + "living")));
    for (auto& e : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(e.path().filename() == prefix + "living" || e.path().filename() == "config") << e.path();
}

TEST(CliStartup, InterruptRemovesTheExtractedFiles) {
    ScratchDir dir;
    int outPipe[2];
    ASSERT_EQ(::pipe(outPipe), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::close(outPipe[0]);
        ::setenv("TMPDIR", dir.path().c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::execl(VELVIEW_CLI_PATH, VELVIEW_CLI_PATH, "startup", "--hold", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(outPipe[1]);
    FILE* out = ::fdopen(outPipe[0], "r");
    std::string folder;
    char line[4096];
    bool holding = false;
    while (std::fgets(line, sizeof line, out)) {
        std::string l(line);
        if (l.rfind("runtime folder: ", 0) == 0) folder = l.substr(16, l.size() - 17);
        if (l.rfind("holding", 0) == 0) {
            holding = true;
            break;
        }
    }
    ASSERT_TRUE(holding);
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(fs::path(folder) / "VelView" / "EnTyp.tin"));
    ::kill(pid, SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::fclose(out);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace velview
