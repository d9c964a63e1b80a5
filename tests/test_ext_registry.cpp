#include "common/ext_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace velview {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
using settings_store::Value;
using settings_store::ValueType;

constexpr const char* kHeader = "VelView settings store 1\n";

fs::path StoreFile() { return SettingsStoreFolder() / "registry.txt"; }

// Gives the store file a new inode with the same text, so the next read parses what is on
// disk instead of answering from the in-process cache.
void ForceReparse() {
    fs::path file = StoreFile();
    fs::path copy = file.string() + ".copy";
    WriteBytes(copy, ReadBytes(file));
    fs::rename(copy, file);
}

void WriteStore(std::string_view text) {
    fs::create_directories(SettingsStoreFolder());
    WriteBytes(StoreFile(), text);
}

std::vector<fs::path> DamagedCopies() {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(SettingsStoreFolder()))
        if (e.path().filename().string().rfind("registry.txt.damaged-", 0) == 0) out.push_back(e.path());
    return out;
}

// The stored integer or text, or nothing when the value is missing or of another type.
std::optional<int> StoredInt(std::string_view key, std::string_view name) {
    auto v = settings_store::Read(key, name);
    if (!v || v->type != ValueType::Integer) return std::nullopt;
    return v->integer;
}

std::optional<std::string> StoredText(std::string_view key, std::string_view name) {
    auto v = settings_store::Read(key, name);
    if (!v || v->type != ValueType::String) return std::nullopt;
    return v->data;
}

Value Int(int i) {
    Value v;
    v.type = ValueType::Integer;
    v.integer = i;
    return v;
}

Value Str(std::string s) {
    Value v;
    v.type = ValueType::String;
    v.data = std::move(s);
    return v;
}

class ProgramNameGuard {
public:
    ~ProgramNameGuard() { SetProgramName("VelView"); }
};

TEST(ExtRegistry, KeyComposition) {
    ProgramNameGuard guard;
    struct Case {
        const char* program;
        std::string section;
        bool useAppName;
        const char* key;
        const char* winPos;
    };
    const Case cases[] = {
        {"VelView", "frmViewer", true, "Software\\Lumora\\VelView\\frmViewer", "Software\\Lumora\\VelView\\frmMain\\WinPos"},
        {"VelView", "", true, "Software\\Lumora\\VelView", "Software\\Lumora\\VelView\\frmMain\\WinPos"},
        {"VelView", "（なし）", true, "Software\\Lumora\\VelView", "Software\\Lumora\\VelView\\frmMain\\WinPos"},
        {"VelView", "", false, "Software\\Lumora", "Software\\Lumora\\VelView\\frmMain\\WinPos"},
        {"VelView", "Common", false, "Software\\Lumora\\Common", "Software\\Lumora\\VelView\\frmMain\\WinPos"},
        {"Other", "写真", true, "Software\\Lumora\\Other\\写真", "Software\\Lumora\\Other\\frmMain\\WinPos"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        SetProgramName(c.program);
        TExtRegistry reg(c.section, c.useAppName);
        EXPECT_EQ(reg.Key(), c.key);
        EXPECT_EQ(TExtRegistry::WinPosKey("frmMain"), c.winPos);
        if (c.section.empty()) {
            EXPECT_EQ(reg.Section(), "（なし）");
        }
    }

    TExtRegistry reg("frmViewer");
    reg.SetSection("");
    EXPECT_EQ(reg.Section(), "（なし）");
    reg.SetUseAppName(false);
    EXPECT_EQ(reg.Key(), "Software\\Lumora");
}

TEST(ExtRegistry, StoreFolderFollowsOverrideThenXdgThenHome) {
    ScratchDir dir;
    struct EnvGuard {
        std::optional<std::string> xdg, home;
        EnvGuard() {
            if (const char* v = std::getenv("XDG_CONFIG_HOME")) xdg = v;
            if (const char* v = std::getenv("HOME")) home = v;
        }
        ~EnvGuard() {
            if (xdg) ::setenv("XDG_CONFIG_HOME", xdg->c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
            if (home) ::setenv("HOME", home->c_str(), 1); else ::unsetenv("HOME");
        }
    } env;
    EXPECT_EQ(SettingsStoreFolder(), dir / "config" / "Lumora");

    SetSettingsStoreFolder({});
    struct Case {
        const char* xdg;  // nullptr: unset
        const char* expected;
    };
    const Case cases[] = {
        {"/xdg/conf", "/xdg/conf/Lumora"},
        {nullptr, "/home/someone/.config/Lumora"},
        {"", "/home/someone/.config/Lumora"},
        {"relative/conf", "/home/someone/.config/Lumora"},
    };
    ::setenv("HOME", "/home/someone", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        if (c.xdg) ::setenv("XDG_CONFIG_HOME", c.xdg, 1); else ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(SettingsStoreFolder(), fs::path(c.expected));
    }
    SetSettingsStoreFolder(dir / "config" / "Lumora");
}

TEST(ExtRegistry, TextSurvivesTheFileUnchanged) {
    ScratchDir dir;
    TExtRegistry reg("frmViewer");
    // Name -> value; both sides carry what would break a line-based file.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Empty", ""},
        {"Japanese", "工事写真　令和６年度"},
        {"Newlines", "line1\nline2\r\nline3\r"},
        {"Equals", "a=b==c="},
        {"Backslash", "C:\\写真\\2024\\"},
        {"Percent", "100% and %41 stay literal"},
        {"Spaces", "  leading and trailing  "},
        {"Controls", std::string("tab\tnul\0del\x7f", 12)},
        {"NotUtf8", "\xff\xfe\x82\xa0 cp932 bytes \xe3\x81"},
        {"LooksLikeKey", "[Software\\Lumora]"},
        {"LooksLikeComment", "# not a comment"},
        {"名前=値\\x\n", "name with = and newline"},
        {"", "empty value name"},
    };
    for (const auto& [name, value] : cases) reg.WriteString(name, value);

    const std::string text = ReadBytes(StoreFile());
    // Header, one key line and one line per value: nothing spilled over a line break.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(cases.size() + 2)) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text.find('\xff'), std::string::npos);
    EXPECT_EQ(text.rfind(kHeader, 0), 0u);
    EXPECT_NE(text.find("[Software\\Lumora\\VelView\\frmViewer]\n"), std::string::npos);
    // Editors strip trailing blanks; the file must not depend on them.
    EXPECT_EQ(text.find(" \n"), std::string::npos) << text;

    ForceReparse();
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(reg.ReadString(name, "default"), value);
        EXPECT_EQ(StoredText("Software\\Lumora\\VelView\\frmViewer", name), value);
    }
}

TEST(ExtRegistry, IntegersAndBooleansRoundTrip) {
    ScratchDir dir;
    TExtRegistry reg;
    const int ints[] = {0, 1, -1, 120, INT_MIN, INT_MAX};
    for (int i : ints) reg.WriteInteger("I" + std::to_string(i), i);
    reg.WriteBool("On", true);
    reg.WriteBool("Off", false);
    reg.WriteInteger("Five", 5);

    ForceReparse();
    for (int i : ints) EXPECT_EQ(reg.ReadInteger("I" + std::to_string(i), 42), i);
    EXPECT_TRUE(reg.ReadBool("On", false));
    EXPECT_FALSE(reg.ReadBool("Off", true));
    EXPECT_TRUE(reg.ReadBool("Five", false));  // any non-zero integer is true
    EXPECT_EQ(reg.ReadInteger("On", 42), 1);   // booleans are stored as integers 1/0
    EXPECT_EQ(reg.ReadInteger("Off", 42), 0);
}

TEST(ExtRegistry, MissingOrDifferentlyTypedValuesReadAsDefault) {
    ScratchDir dir;
    TExtRegistry reg("frmViewer");
    reg.WriteString("Text", "12");
    reg.WriteInteger("Number", 7);
    reg.WriteBinaryString("Bytes", "ab", 2);

    EXPECT_EQ(reg.ReadString("Number", "def"), "def");
    EXPECT_EQ(reg.ReadString("Bytes", "def"), "def");
    EXPECT_EQ(reg.ReadString("Missing", "def"), "def");
    EXPECT_EQ(reg.ReadInteger("Text", -5), -5);
    EXPECT_EQ(reg.ReadInteger("Bytes", -5), -5);
    EXPECT_EQ(reg.ReadInteger("Missing", -5), -5);
    EXPECT_TRUE(reg.ReadBool("Text", true));
    EXPECT_FALSE(reg.ReadBool("Missing", false));
    EXPECT_EQ(reg.ReadBinaryString("Number", "def", 4), "def");

    // The same names under another key are not these values.
    TExtRegistry other("frmOther");
    EXPECT_EQ(other.ReadInteger("Number", -5), -5);
    EXPECT_FALSE(other.ValueExists("Text"));
    EXPECT_TRUE(reg.ValueExists("Text"));
}

TEST(ExtRegistry, BinaryIsReturnedOnlyAtTheExpectedSize) {
    ScratchDir dir;
    TExtRegistry reg;
    const std::string bytes("\x00\x01\xff\x0a", 4);
    reg.WriteBinaryString("Exact", bytes, 4);
    reg.WriteBinaryString("Prefix", "abcdef", 3);
    reg.WriteBinaryString("Clamped", "xy", 10);
    reg.WriteString("Text", "stored as text");
    ForceReparse();

    struct Case {
        const char* name;
        std::size_t size;
        std::string expected;
    };
    const Case cases[] = {
        {"Exact", 4, bytes},
        {"Exact", 3, "def"},
        {"Exact", 5, "def"},
        {"Prefix", 3, "abc"},
        {"Prefix", 6, "def"},
        {"Clamped", 2, "xy"},
        {"Clamped", 10, "def"},
        {"Text", 1, "stored as text"},  // text is returned whatever size is asked
        {"Text", 99, "stored as text"},
        {"Missing", 4, "def"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " size " + std::to_string(c.size));
        EXPECT_EQ(reg.ReadBinaryString(c.name, "def", c.size), c.expected);
    }
}

TEST(ExtRegistry, KeysAndNamesIgnoreAsciiCaseAndKeepFirstSpelling) {
    ScratchDir dir;
    const std::string key = "Software\\Lumora\\VelView\\frmViewer";
    settings_store::Write(key, "LastFolder", Str("/a"));
    settings_store::Write("SOFTWARE\\lumora\\VELVIEW\\FRMVIEWER", "lastfolder", Str("/b"));

    ASSERT_TRUE(settings_store::Read("software\\Lumora\\VelView\\FrmViewer", "LASTFOLDER"));
    EXPECT_EQ(StoredText(key, "LastFolder"), "/b");
    const std::string text = ReadBytes(StoreFile());
    EXPECT_NE(text.find("[Software\\Lumora\\VelView\\frmViewer]\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" LastFolder=/b\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("SOFTWARE"), std::string::npos) << text;
    EXPECT_EQ(text.find("lastfolder"), std::string::npos) << text;

    // Only ASCII folds: full-width letters are different names.
    EXPECT_FALSE(settings_store::Read(key, "ＬａｓｔＦｏｌｄｅｒ"));

    // Parents of a key exist; a name that merely starts the same does not.
    EXPECT_TRUE(settings_store::KeyExists("software\\lumora"));
    EXPECT_TRUE(settings_store::KeyExists(key));
    EXPECT_FALSE(settings_store::KeyExists("Software\\Lumora\\VelView\\frm"));
    EXPECT_FALSE(settings_store::KeyExists("Software\\Lumora\\VelView\\frmViewer\\WinPos"));

    // Deleting a value leaves its key.
    settings_store::Delete(key, "LASTFOLDER");
    EXPECT_FALSE(settings_store::Read(key, "LastFolder"));
    EXPECT_TRUE(settings_store::KeyExists(key));
    ForceReparse();
    EXPECT_TRUE(settings_store::KeyExists(key));
    EXPECT_FALSE(settings_store::Read(key, "LastFolder"));
}

TEST(ExtRegistry, LoadWindowPlacementFromStoredValues) {
    using Values = std::map<std::string, Value>;
    struct Case {
        const char* what;
        Values stored;
        bool sizeable;
        std::optional<WindowPlacement> expected;
    };
    const Case cases[] = {
        {"all values, sizeable",
         {{"Top", Int(10)}, {"Left", Int(20)}, {"Width", Int(300)}, {"Height", Int(400)}, {"WindowState", Int(2)}},
         true, WindowPlacement{true, 10, 20, 300, 400, 2}},
        {"fixed size ignores missing Width/Height",
         {{"Top", Int(-5)}, {"Left", Int(7)}, {"WindowState", Int(0)}},
         false, WindowPlacement{true, -5, 7, 0, 0, 0}},
        {"bounds without WindowState",
         {{"Top", Int(1)}, {"Left", Int(2)}, {"Width", Int(3)}, {"Height", Int(4)}},
         true, WindowPlacement{true, 1, 2, 3, 4, 0}},
        {"incomplete bounds fall back to WindowState",
         {{"Top", Int(1)}, {"Left", Int(2)}, {"Width", Int(3)}, {"WindowState", Int(1)}},
         true, WindowPlacement{false, 0, 0, 0, 0, 1}},
        {"Top stored as text counts as missing",
         {{"Top", Str("1")}, {"Left", Int(2)}, {"WindowState", Int(2)}},
         false, WindowPlacement{false, 0, 0, 0, 0, 2}},
        {"incomplete bounds and no WindowState",
         {{"Top", Int(1)}, {"Left", Int(2)}},
         true, std::nullopt},
        {"key without any placement value",
         {{"Other", Int(1)}},
         false, std::nullopt},
        {"no WinPos key at all", {}, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        for (const auto& [name, value] : c.stored) settings_store::Write(TExtRegistry::WinPosKey("frmMain"), name, value);
        TExtRegistry reg("frmMain");
        auto p = reg.LoadWindowPlacement("frmMain", c.sizeable);
        ASSERT_EQ(p.has_value(), c.expected.has_value());
        EXPECT_EQ(reg.PlacementLoaded(), c.expected.has_value());
        if (!p) continue;
        EXPECT_EQ(p->hasBounds, c.expected->hasBounds);
        EXPECT_EQ(p->top, c.expected->top);
        EXPECT_EQ(p->left, c.expected->left);
        EXPECT_EQ(p->width, c.expected->width);
        EXPECT_EQ(p->height, c.expected->height);
        EXPECT_EQ(p->windowState, c.expected->windowState);
    }
}

TEST(ExtRegistry, PlacementIsRestoredOnlyOncePerComponent) {
    ScratchDir dir;
    TExtRegistry reg;
    // Nothing stored yet: the component keeps trying.
    EXPECT_FALSE(reg.LoadWindowPlacement("frmMain", true));
    EXPECT_FALSE(reg.PlacementLoaded());

    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 10, 20, 300, 400, 0}, true);
    auto first = reg.LoadWindowPlacement("frmMain", true);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->hasBounds);
    EXPECT_EQ(first->width, 300);
    EXPECT_TRUE(reg.PlacementLoaded());

    // Later changes are not applied again by this component, and the answer is still success.
    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 50, 60, 70, 80, 0}, true);
    auto second = reg.LoadWindowPlacement("frmMain", true);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->hasBounds);

    TExtRegistry fresh;
    auto third = fresh.LoadWindowPlacement("frmMain", true);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->top, 50);
    EXPECT_EQ(third->height, 80);
}

TEST(ExtRegistry, SavePlacementKeepsNormalBoundsOfMaximisedWindow) {
    ScratchDir dir;
    const std::string key = TExtRegistry::WinPosKey("frmMain");
    TExtRegistry reg;

    // A maximised window's bounds are not stored at all.
    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 1, 2, 3, 4, 2}, true);
    EXPECT_EQ(StoredInt(key, "WindowState"), 2);
    for (const char* name : {"Top", "Left", "Width", "Height"}) EXPECT_FALSE(settings_store::Read(key, name)) << name;

    // A fixed-size window stores no size.
    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 10, 20, 300, 400, 0}, false);
    EXPECT_EQ(StoredInt(key, "Top"), 10);
    EXPECT_EQ(StoredInt(key, "Left"), 20);
    EXPECT_FALSE(settings_store::Read(key, "Width"));
    EXPECT_EQ(StoredInt(key, "WindowState"), 0);

    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 11, 21, 301, 401, 0}, true);
    reg.SaveWindowPlacement("frmMain", WindowPlacement{true, 0, 0, 1920, 1080, 2}, true);
    ForceReparse();
    auto p = TExtRegistry().LoadWindowPlacement("frmMain", true);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->hasBounds);
    EXPECT_EQ(p->top, 11);
    EXPECT_EQ(p->left, 21);
    EXPECT_EQ(p->width, 301);
    EXPECT_EQ(p->height, 401);
    EXPECT_EQ(p->windowState, 2);
}

TEST(ExtRegistry, CentredPosition) {
    struct Case {
        int sw, sh, w, h, left, top;
    };
    const Case cases[] = {
        {1920, 1080, 800, 600, 560, 240},
        {1921, 1081, 800, 600, 560, 240},
        {800, 600, 800, 600, 0, 0},
        {800, 600, 1000, 700, 0, 0},  // larger than the screen: pinned to the corner
        {1024, 768, 200, 900, 412, 0},
    };
    for (const Case& c : cases) {
        int left = -1, top = -1;
        TExtRegistry::CentredPosition(c.sw, c.sh, c.w, c.h, left, top);
        EXPECT_EQ(left, c.left) << c.sw << "x" << c.sh << " " << c.w << "x" << c.h;
        EXPECT_EQ(top, c.top) << c.sw << "x" << c.sh << " " << c.w << "x" << c.h;
    }
}

TEST(ExtRegistry, DamagedStoreIsMovedAsideAndDefaultsUsed) {
    const std::string header = kHeader;
    struct Case {
        std::string text;
        int line;
        const char* reason;  // a word the warning must contain
    };
    const Case cases[] = {
        {"VelView settings store 9\n[Software\\Lumora\\VelView]\nint Top=12\n", 1, "first line"},
        {"\xff\xfe garbage", 1, "first line"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\ngarbage line\n", 4, "value line"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nstr A=bad %zz escape\n", 4, "escape"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nstr A=cut %4", 4, "escape"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nbin B=abc\n", 4, "hex"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nbin B=zz\n", 4, "hex"},
        {header + "[Software\\Lumora\\VelView]\nint Top=99999999999\n", 3, "integer"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nint Left=\n", 4, "integer"},
        {header + "[Software\\Lumora\\VelView]\nint Top=12\nflt X=1.5\n", 4, "type"},
        {header + "int Top=12\n[Software\\Lumora\\VelView]\n", 2, "key"},
        {header + "[Software\\Lumora\\VelView\n", 2, "]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScratchDir dir;
        WriteStore(c.text);
        TExtRegistry reg;

        testing::internal::CaptureStderr();
        EXPECT_EQ(reg.ReadInteger("Top", -1), -1);
        EXPECT_EQ(reg.ReadInteger("Top", -1), -1);  // the second read does not complain again
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_NE(warning.find(StoreFile().string()), std::string::npos) << warning;
        EXPECT_NE(warning.find("line " + std::to_string(c.line) + ":"), std::string::npos) << warning;
        EXPECT_NE(warning.find(c.reason), std::string::npos) << warning;
        EXPECT_EQ(warning.find('\n'), warning.size() - 1) << warning;

        EXPECT_FALSE(fs::exists(StoreFile()));
        auto copies = DamagedCopies();
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(ReadBytes(copies[0]), c.text);

        reg.WriteInteger("Left", 5);
        ForceReparse();
        EXPECT_EQ(reg.ReadInteger("Left", -1), 5);
        EXPECT_EQ(reg.ReadInteger("Top", -1), -1);
        EXPECT_EQ(ReadBytes(StoreFile()).rfind(kHeader, 0), 0u);
        EXPECT_EQ(DamagedCopies().size(), 1u);
    }
}

TEST(ExtRegistry, WellFormedOdditiesAreAccepted) {
    ScratchDir dir;
    // A BOM and CRLF line ends from a Windows editor, comments, blank lines, a key given
    // twice in different case, and upper-case hex.
    WriteStore("\xEF\xBB\xBFVelView settings store 1\r\n# comment\r\n\r\n[Software\\Lumora\\VelView]\r\n"
               "int Top=12\r\n[software\\lumora\\velview]\r\nbin B=0A0b\r\nstr S=x%0D%0Ay\r\n");
    testing::internal::CaptureStderr();
    TExtRegistry reg;
    EXPECT_EQ(reg.ReadInteger("Top", -1), 12);
    EXPECT_EQ(reg.ReadBinaryString("B", "def", 2), "\x0a\x0b");
    EXPECT_EQ(reg.ReadString("S"), "x\r\ny");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(DamagedCopies().empty());
}

TEST(ExtRegistry, StoreThatIsNotARegularFileDoesNotBlock) {
    ScratchDir dir;
    fs::create_directories(SettingsStoreFolder());
    ASSERT_EQ(::mkfifo(StoreFile().c_str(), 0600), 0);
    TExtRegistry reg;
    testing::internal::CaptureStderr();
    EXPECT_EQ(reg.ReadString("Anything", "def"), "def");
    reg.WriteString("Anything", "value");  // refused with a warning, not thrown
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("not a regular file"), std::string::npos) << warning;
    EXPECT_TRUE(fs::is_fifo(StoreFile()));
}

TEST(ExtRegistry, FirstWriteCreatesPrivateFolder) {
    ScratchDir dir;
    ASSERT_FALSE(fs::exists(SettingsStoreFolder()));
    TExtRegistry reg;
    EXPECT_EQ(reg.ReadString("X", "def"), "def");
    EXPECT_FALSE(fs::exists(SettingsStoreFolder()));  // reading creates nothing
    reg.DeleteValue("X");
    EXPECT_FALSE(fs::exists(SettingsStoreFolder()));  // nor does deleting nothing
    reg.WriteString("X", "y");
    struct stat st {};
    ASSERT_EQ(::stat(SettingsStoreFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(reg.ReadString("X"), "y");
}

TEST(ExtRegistry, ConcurrentWritersLoseNothing) {
    ScratchDir dir;
    const std::string key = "Software\\Lumora\\VelView\\Concurrent";
    constexpr int kPerChild = 200;
    // The parent's cache holds the file as it was before the children wrote.
    settings_store::Write(key, "Parent", Int(-1));
    ASSERT_EQ(StoredInt(key, "Parent"), -1);

    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 1) ::_exit(2);
            for (int i = 0; i < kPerChild; ++i)
                settings_store::Write(key, "C" + std::to_string(child) + "_" + std::to_string(i),
                                      Int(child * 1000 + i));
            ::_exit(0);
        }
        children.push_back(pid);
    }
    ::close(go[0]);
    // Both start together, so their writes interleave.
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    ::close(go[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    testing::internal::CaptureStderr();
    int missing = 0;
    for (int child = 0; child < 2; ++child)
        for (int i = 0; i < kPerChild; ++i) {
            auto v = StoredInt(key, "C" + std::to_string(child) + "_" + std::to_string(i));
            if (v != child * 1000 + i) ++missing;
        }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(StoredInt(key, "Parent"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the file parsed cleanly
    EXPECT_TRUE(DamagedCopies().empty());
}

}  // namespace
}  // namespace velview
