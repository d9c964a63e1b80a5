// The per-user settings store.
//
// All settings live in one UTF-8 text file, SettingsStoreFolder()/registry.txt:
//
//     VelView settings store 1
//     [Software\Lumora\VelView\frmViewer]
//     int Top=120
//     str LastFolder=/home/user/写真
//     bin Columns=0a00ff
//
// The first line names the format and its version. A "[...]" line starts a key (its full
// path, spelled as first written); every following "<type> <name>=<data>" line is a value of
// that key, with type "str" (UTF-8 text), "int" (decimal, 32 bits) or "bin" (hex bytes). Names
// and text use %XX escapes for '%', control characters (so a value never spans lines), bytes
// that are not UTF-8, a trailing space (editors strip those) and, in names, '='. The
// backslash is an ordinary character, so key paths read as they do in the Windows registry.
// Blank lines and lines starting with '#' are ignored.
//
// Keys and value names compare ASCII-case-insensitively, as Windows registry keys do, so
// settings written under either spelling meet; the file is written sorted by folded key and
// name so that it diffs well.
//
// Concurrency: a writer holds an exclusive flock() on registry.lock for the whole
// read-modify-write and replaces registry.txt atomically, so readers never see half a file
// and need no lock; two processes writing at once each see the other's values.
//
// A file this code cannot fully understand is renamed to registry.txt.damaged-<time> with a
// warning on stderr naming the line, and the settings start again from their defaults: the
// user keeps the old file to repair, and the program never acts on half-read settings.
#include "common/ext_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "common/file_io.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "VelView settings store 1";
constexpr std::string_view kStoreFileName = "registry.txt";
constexpr std::string_view kLockFileName = "registry.lock";
constexpr std::string_view kNoSection = "（なし）";
constexpr std::string_view kRootKey = "Software\\Lumora";
// Settings are small; anything bigger is not ours and is treated as unreadable.
constexpr std::uint64_t kMaxStoreBytes = std::uint64_t(64) << 20;

// Set once at start-up, before other threads run, so it needs no lock.
std::string& ProgramNameStorage() {
    static std::string name = "VelView";
    return name;
}

std::mutex& FolderMutex() {
    static std::mutex m;
    return m;
}
fs::path& FolderOverride() {
    static fs::path p;
    return p;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

void Warn(const std::string& message) {
    std::cerr << ProgramName() << ": warning: " << message << '\n';
}

// ---------------------------------------------------------------------------------------
// Escaping

// Length of the valid UTF-8 sequence starting at s[i], or 0 when the byte there does not
// start one (overlong forms, surrogates and code points above U+10FFFF count as invalid).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t len;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1Fu; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0Fu; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07u; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0u) != 0x80u) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3Fu);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendPercent(std::string& out, unsigned char c) {
    out += '%';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

// `inName` also escapes '=', which ends a value name.
std::string Escape(std::string_view s, bool inName) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        bool last = i + 1 == s.size();
        if (c == '%' || c < 0x20 || c == 0x7F || (inName && c == '=') || (last && c == ' ')) {
            AppendPercent(out, c);
            ++i;
            continue;
        }
        std::size_t len = Utf8SequenceLength(s, i);
        if (len == 0) {
            AppendPercent(out, c);
            ++i;
            continue;
        }
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view s, std::string& out, std::string& error) {
    out.clear();
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        int hi = i + 1 < s.size() ? HexValue(s[i + 1]) : -1;
        int lo = i + 2 < s.size() ? HexValue(s[i + 2]) : -1;
        if (hi < 0 || lo < 0) {
            error = "bad escape \"" + std::string(s.substr(i, 3)) + "\" (expected % and two hex digits)";
            return false;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string HexEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0x0F];
    }
    return out;
}

bool HexDecode(std::string_view hex, std::string& out) {
    if (hex.size() % 2 != 0) return false;
    out.clear();
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// In-memory form of the store

using settings_store::Value;
using settings_store::ValueType;

struct NamedValue {
    std::string name;  // spelling as first written
    Value value;
};

struct KeyEntry {
    std::string name;                           // spelling as first written
    std::map<std::string, NamedValue> values;   // by folded name
};

struct Store {
    std::map<std::string, KeyEntry> keys;  // by folded key
};

std::string Serialize(const Store& store) {
    std::string out;
    out.append(kHeader).append("\n");
    for (const auto& [folded, key] : store.keys) {
        out.append("[").append(Escape(key.name, false)).append("]\n");
        for (const auto& [foldedName, nv] : key.values) {
            switch (nv.value.type) {
            case ValueType::String: out.append("str "); break;
            case ValueType::Integer: out.append("int "); break;
            case ValueType::Binary: out.append("bin "); break;
            }
            out.append(Escape(nv.name, true)).append("=");
            switch (nv.value.type) {
            case ValueType::String: out.append(Escape(nv.value.data, false)); break;
            case ValueType::Integer: out.append(std::to_string(nv.value.integer)); break;
            case ValueType::Binary: out.append(HexEncode(nv.value.data)); break;
            }
            out.append("\n");
        }
    }
    return out;
}

struct ParseError {
    std::size_t line = 0;
    std::string what;
};

// Parses the whole file; any line it cannot make sense of makes the store damaged, since
// guessing at a half-understood settings file could apply nonsense to the windows.
std::optional<ParseError> Parse(std::string_view text, Store& store) {
    store = Store{};
    // A zero-length file holds no settings and nothing worth keeping aside.
    if (text.empty()) return std::nullopt;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // BOM from an editor
    std::size_t lineNo = 0;
    KeyEntry* current = nullptr;
    std::string name, data;
    while (!text.empty()) {
        ++lineNo;
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        // Raw CR only gets here through CRLF conversion: values escape their own CRs.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (lineNo == 1) {
            if (line != kHeader)
                return ParseError{lineNo, "the first line is not \"" + std::string(kHeader) + "\""};
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        std::string error;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']')
                return ParseError{lineNo, "a key line must end with ']'"};
            if (!Unescape(line.substr(1, line.size() - 2), name, error)) return ParseError{lineNo, error};
            if (name.empty()) return ParseError{lineNo, "empty key name"};
            auto [it, inserted] = store.keys.try_emplace(Fold(name));
            if (inserted) it->second.name = name;
            current = &it->second;
            continue;
        }

        std::size_t space = line.find(' ');
        std::size_t eq = line.find('=');
        if (space == std::string_view::npos || eq == std::string_view::npos || eq < space)
            return ParseError{lineNo, "not a key line, a value line (\"<type> <name>=<data>\") or a comment"};
        std::string_view type = line.substr(0, space);
        std::string_view rawName = line.substr(space + 1, eq - space - 1);
        std::string_view rawData = line.substr(eq + 1);
        if (!current) return ParseError{lineNo, "value before the first [key] line"};
        if (!Unescape(rawName, name, error)) return ParseError{lineNo, error};

        Value v;
        if (type == "str") {
            v.type = ValueType::String;
            if (!Unescape(rawData, v.data, error)) return ParseError{lineNo, error};
        } else if (type == "int") {
            v.type = ValueType::Integer;
            const char* first = rawData.data();
            const char* last = first + rawData.size();
            auto [ptr, ec] = std::from_chars(first, last, v.integer);
            if (rawData.empty() || ec != std::errc() || ptr != last)
                return ParseError{lineNo, "\"" + std::string(rawData) + "\" is not a 32-bit integer"};
        } else if (type == "bin") {
            v.type = ValueType::Binary;
            if (!HexDecode(rawData, v.data))
                return ParseError{lineNo, "invalid hex data (expected pairs of hex digits)"};
        } else {
            return ParseError{lineNo, "unknown value type \"" + std::string(type) + "\""};
        }
        auto [it, inserted] = current->values.try_emplace(Fold(name));
        if (inserted) it->second.name = name;
        it->second.value = std::move(v);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// Files, locks and the cache

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileId&) const = default;
};

bool StatFile(const fs::path& path, FileId& id, int& err, bool& regular) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        err = errno;
        return false;
    }
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    regular = S_ISREG(st.st_mode);
    err = 0;
    return true;
}

// A parsed file, shared between readers; replaced, never changed, when the file changes.
struct Cache {
    std::mutex mutex;
    fs::path path;
    FileId id;
    std::shared_ptr<const Store> store;
    std::string lastWarning;  // not to repeat the same complaint on every read
};

Cache& TheCache() {
    static Cache c;
    return c;
}

const std::shared_ptr<const Store>& EmptyStore() {
    static const std::shared_ptr<const Store> empty = std::make_shared<const Store>();
    return empty;
}

void WarnOnce(const std::string& message) {
    Cache& c = TheCache();
    {
        std::lock_guard lock(c.mutex);
        if (c.lastWarning == message) return;
        c.lastWarning = message;
    }
    Warn(message);
}

std::shared_ptr<const Store> CachedStore(const fs::path& path, const FileId& id) {
    Cache& c = TheCache();
    std::lock_guard lock(c.mutex);
    if (c.store && c.path == path && c.id == id) return c.store;
    return nullptr;
}

void RememberStore(const fs::path& path, const FileId& id, std::shared_ptr<const Store> store) {
    Cache& c = TheCache();
    std::lock_guard lock(c.mutex);
    c.path = path;
    c.id = id;
    c.store = std::move(store);
}

// The store file; when it is a symbolic link (settings kept under version control elsewhere)
// writes go to the link's target so that the rename does not replace the link.
fs::path StoreFile(const fs::path& folder) {
    fs::path file = folder / kStoreFileName;
    std::error_code ec;
    if (fs::is_symlink(file, ec)) {
        fs::path target = fs::canonical(file, ec);
        if (!ec) return target;
    }
    return file;
}

// Holds an flock() on the lock file for its lifetime.
class StoreLock {
public:
    StoreLock(const fs::path& folder, int operation) {
        fs::path lockPath = folder / kLockFileName;
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
        if (fd_ < 0) throw IoError(lockPath.string() + ": cannot open lock file: " + ErrnoText(errno));
        while (::flock(fd_, operation) != 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd_);
            throw IoError(lockPath.string() + ": cannot lock: " + ErrnoText(err));
        }
    }
    ~StoreLock() { ::close(fd_); }  // closing releases the lock
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

void EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    if (folder.has_parent_path()) CreateDirectories(folder.parent_path());
    // Settings may hold folder names of the user's projects: keep them private.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw IoError(folder.string() + ": cannot create folder: " + ErrnoText(errno));
    if (!fs::is_directory(folder, ec)) throw IoError(folder.string() + ": not a folder");
}

std::string TimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

// Moves a damaged file out of the way, keeping it for the user to inspect or repair.
// Called with the exclusive lock held, so the name chosen cannot race with another process.
bool MoveAside(const fs::path& file, const ParseError& error) {
    std::string base = file.string() + ".damaged-" + TimeStamp();
    fs::path aside = base;
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(aside, ec)) && n < 1000; ++n)
        aside = base + "-" + std::to_string(n);
    std::string where = file.string() + ": line " + std::to_string(error.line) + ": " + error.what;
    if (::rename(file.c_str(), aside.c_str()) == 0) {
        Warn("settings store " + where + "; the file was moved to " + aside.string() +
             " and default settings are used");
        return true;
    }
    int err = errno;
    WarnOnce("settings store " + where + "; it could not be moved aside (" + ErrnoText(err) +
             "), default settings are used");
    return false;
}

enum class LoadStatus { Ok, Missing, Damaged };

struct Loaded {
    LoadStatus status = LoadStatus::Missing;
    std::shared_ptr<const Store> store;
    ParseError error;
    FileId id;  // of the file read
};

// Reads and parses the file, through the cache. Throws IoError when the file exists but
// cannot be read (not a regular file, no permission).
Loaded LoadFile(const fs::path& file) {
    FileId before;
    int err = 0;
    bool regular = false;
    if (!StatFile(file, before, err, regular)) {
        if (err == ENOENT || err == ENOTDIR) return {LoadStatus::Missing, EmptyStore(), {}, {}};
        throw IoError(file.string() + ": " + ErrnoText(err));
    }
    if (regular) {
        if (auto cached = CachedStore(file, before)) return {LoadStatus::Ok, cached, {}, before};
    }
    std::string text = ReadRegularFile(file, kMaxStoreBytes);
    auto store = std::make_shared<Store>();
    if (auto error = Parse(text, *store)) return {LoadStatus::Damaged, EmptyStore(), *error, before};
    // Cache only when the file did not change while being read, so the identity matches
    // the text parsed.
    FileId after;
    if (StatFile(file, after, err, regular) && after == before) RememberStore(file, after, store);
    return {LoadStatus::Ok, store, {}, before};
}

// Loads the store with the exclusive lock held: a damaged file is moved aside here and the
// store starts empty.
std::shared_ptr<const Store> LoadLocked(const fs::path& file) {
    Loaded loaded = LoadFile(file);
    if (loaded.status != LoadStatus::Damaged) return loaded.store;
    // A file that cannot be moved aside (read-only folder) reads as empty from now on,
    // without parsing it and complaining again on every read.
    if (!MoveAside(file, loaded.error)) RememberStore(file, loaded.id, EmptyStore());
    return EmptyStore();
}

// The current store for reading. Never throws: an unreadable store reads as empty.
std::shared_ptr<const Store> Snapshot() {
    try {
        fs::path folder = SettingsStoreFolder();
        fs::path file = StoreFile(folder);
        Loaded loaded = LoadFile(file);
        if (loaded.status != LoadStatus::Damaged) return loaded.store;
        // Look again under the lock: a writer may just have replaced the damaged file with a
        // good one, which must not be moved aside.
        try {
            StoreLock lock(folder, LOCK_EX);
            return LoadLocked(file);
        } catch (const IoError&) {
            // No lock to be had (read-only folder): try to keep the file aside all the same.
            if (!MoveAside(file, loaded.error)) RememberStore(file, loaded.id, EmptyStore());
            return EmptyStore();
        }
    } catch (const IoError& e) {
        WarnOnce(std::string("settings store unreadable, default settings are used: ") + e.what());
    } catch (const std::exception& e) {
        WarnOnce(std::string("settings store: ") + e.what());
    }
    return EmptyStore();
}

// Read-modify-write under the exclusive lock. `change` returns false when it changed
// nothing, which saves rewriting the file.
template <class Change>
void Modify(Change change) {
    fs::path folder = SettingsStoreFolder();
    EnsureFolder(folder);
    StoreLock lock(folder, LOCK_EX);
    fs::path file = StoreFile(folder);
    auto store = std::make_shared<Store>(*LoadLocked(file));
    if (!change(*store)) return;
    WriteFileAtomic(file, Serialize(*store), 0600);
    FileId id;
    int err = 0;
    bool regular = false;
    if (StatFile(file, id, err, regular)) RememberStore(file, id, std::move(store));
}

// Writes several values of one key in one read-modify-write, so that they land together.
void WriteValues(std::string_view key, const std::vector<std::pair<std::string_view, Value>>& values) {
    if (key.empty()) throw IoError("settings store: empty key name");
    Modify([&](Store& store) {
        auto [k, newKey] = store.keys.try_emplace(Fold(key));
        if (newKey) k->second.name = std::string(key);
        for (const auto& [name, value] : values) {
            auto [v, newValue] = k->second.values.try_emplace(Fold(name));
            if (newValue) v->second.name = std::string(name);
            v->second.value = value;
            // Only the meaningful field of the value is kept.
            if (value.type == ValueType::Integer) v->second.value.data.clear();
            else v->second.value.integer = 0;
        }
        return true;
    });
}

Value IntegerValue(int i) {
    Value v;
    v.type = ValueType::Integer;
    v.integer = i;
    return v;
}

const NamedValue* Find(const Store& store, std::string_view key, std::string_view name) {
    auto k = store.keys.find(Fold(key));
    if (k == store.keys.end()) return nullptr;
    auto v = k->second.values.find(Fold(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}

}  // namespace

// -------------------------------------------------------------------------------------------

const std::string& ProgramName() { return ProgramNameStorage(); }
void SetProgramName(std::string name) { ProgramNameStorage() = std::move(name); }

fs::path SettingsStoreFolder() {
    {
        std::lock_guard lock(FolderMutex());
        if (!FolderOverride().empty()) return FolderOverride();
    }
    // Relative values are to be ignored, as other desktop programs do.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return fs::path(xdg) / "Lumora";
    const char* home = std::getenv("HOME");
    std::string homeDir = (home && *home) ? home : "";
    if (homeDir.empty()) {
        struct passwd pw {};
        struct passwd* result = nullptr;
        std::vector<char> buf(16384);
        if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &result) == 0 && result &&
            result->pw_dir)
            homeDir = result->pw_dir;
    }
    return fs::path(homeDir.empty() ? "." : homeDir) / ".config" / "Lumora";
}

void SetSettingsStoreFolder(fs::path folder) {
    std::lock_guard lock(FolderMutex());
    FolderOverride() = std::move(folder);
}

namespace settings_store {

std::optional<Value> Read(std::string_view key, std::string_view name) {
    auto store = Snapshot();
    if (const NamedValue* nv = Find(*store, key, name)) return nv->value;
    return std::nullopt;
}

void Write(std::string_view key, std::string_view name, const Value& value) {
    WriteValues(key, {{name, value}});
}

void Delete(std::string_view key, std::string_view name) {
    // Nothing to delete when there is no store; do not create the folder for it.
    if (!Find(*Snapshot(), key, name)) return;
    Modify([&](Store& store) {
        auto k = store.keys.find(Fold(key));
        if (k == store.keys.end()) return false;
        // The key itself stays, as a registry key outlives its values.
        return k->second.values.erase(Fold(name)) > 0;
    });
}

bool KeyExists(std::string_view key) {
    if (key.empty()) return false;
    auto store = Snapshot();
    std::string folded = Fold(key);
    if (store->keys.count(folded)) return true;
    // A key with subkeys exists even when it holds no values itself.
    folded += '\\';
    auto it = store->keys.lower_bound(folded);
    return it != store->keys.end() && it->first.compare(0, folded.size(), folded) == 0;
}

}  // namespace settings_store

// -------------------------------------------------------------------------------------------

namespace {

// Settings are a convenience: failing to save one is reported, not fatal to the program.
template <class F>
void TryWrite(F write) {
    try {
        write();
    } catch (const std::exception& e) {
        Warn(std::string("settings not saved: ") + e.what());
    }
}

std::optional<int> ReadInt(const std::string& key, std::string_view name) {
    auto v = settings_store::Read(key, name);
    if (!v || v->type != ValueType::Integer) return std::nullopt;
    return v->integer;
}

}  // namespace

TExtRegistry::TExtRegistry(std::string section, bool useAppName) : useAppName_(useAppName) {
    SetSection(std::move(section));
}

void TExtRegistry::SetSection(std::string section) {
    section_ = section.empty() ? std::string(kNoSection) : std::move(section);
}

std::string TExtRegistry::Key() const {
    std::string key(kRootKey);
    if (useAppName_) key.append("\\").append(ProgramName());
    if (section_ != kNoSection) key.append("\\").append(section_);
    return key;
}

std::string TExtRegistry::WinPosKey(std::string_view formName) {
    std::string key(kRootKey);
    key.append("\\").append(ProgramName()).append("\\").append(formName).append("\\WinPos");
    return key;
}

std::string TExtRegistry::ReadString(std::string_view name, std::string_view def) const {
    auto v = settings_store::Read(Key(), name);
    if (!v || v->type != ValueType::String) return std::string(def);
    return v->data;
}

bool TExtRegistry::ReadBool(std::string_view name, bool def) const {
    auto v = ReadInt(Key(), name);
    return v ? *v != 0 : def;
}

int TExtRegistry::ReadInteger(std::string_view name, int def) const {
    return ReadInt(Key(), name).value_or(def);
}

void TExtRegistry::WriteString(std::string_view name, std::string_view value) {
    TryWrite([&] {
        Value v;
        v.type = ValueType::String;
        v.data = std::string(value);
        settings_store::Write(Key(), name, v);
    });
}

void TExtRegistry::WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TExtRegistry::WriteInteger(std::string_view name, int value) {
    TryWrite([&] { settings_store::Write(Key(), name, IntegerValue(value)); });
}

std::string TExtRegistry::ReadBinaryString(std::string_view name, std::string_view def,
                                           std::size_t size) const {
    auto v = settings_store::Read(Key(), name);
    if (!v) return std::string(def);
    if (v->type == ValueType::String) return v->data;
    // A binary value of another length was written by another version of the structure it
    // holds; reading it would misplace every field after the change.
    if (v->type == ValueType::Binary && v->data.size() == size) return v->data;
    return std::string(def);
}

void TExtRegistry::WriteBinaryString(std::string_view name, std::string_view data, std::size_t size) {
    // A size beyond the data is clamped to the data: there is nothing else to write.
    TryWrite([&] {
        Value v;
        v.type = ValueType::Binary;
        v.data = std::string(data.substr(0, std::min(size, data.size())));
        settings_store::Write(Key(), name, v);
    });
}

bool TExtRegistry::ValueExists(std::string_view name) const {
    return settings_store::Read(Key(), name).has_value();
}

void TExtRegistry::DeleteValue(std::string_view name) {
    TryWrite([&] { settings_store::Delete(Key(), name); });
}

std::optional<WindowPlacement> TExtRegistry::LoadWindowPlacement(std::string_view formName,
                                                                 bool sizeable) {
    // A window is placed once, when first shown; later calls must not undo what the user did
    // since. The empty placement (no bounds) tells the caller there is nothing to apply.
    if (placementLoaded_) return WindowPlacement{};
    const std::string key = WinPosKey(formName);
    if (!settings_store::KeyExists(key)) return std::nullopt;

    WindowPlacement p;
    auto top = ReadInt(key, "Top");
    auto left = ReadInt(key, "Left");
    std::optional<int> width, height;
    if (sizeable) {
        width = ReadInt(key, "Width");
        height = ReadInt(key, "Height");
    }
    bool bounds = top && left && (!sizeable || (width && height));
    if (bounds) {
        p.hasBounds = true;
        p.top = *top;
        p.left = *left;
        if (sizeable) {
            p.width = *width;
            p.height = *height;
        }
    }
    auto state = ReadInt(key, "WindowState");
    bool stateOk = state && *state >= 0 && *state <= 2;
    if (stateOk) p.windowState = *state;
    // Without bounds the window state alone is still worth restoring; with neither, the
    // next call tries again.
    if (!bounds && !stateOk) return std::nullopt;
    placementLoaded_ = true;
    return p;
}

void TExtRegistry::SaveWindowPlacement(std::string_view formName, const WindowPlacement& p,
                                       bool sizeable) {
    std::vector<std::pair<std::string_view, Value>> values;
    values.emplace_back("WindowState", IntegerValue(p.windowState));
    // The bounds of a minimised or maximised window are not the ones to come back to; the
    // last normal bounds stay stored.
    if (p.windowState == 0) {
        values.emplace_back("Top", IntegerValue(p.top));
        values.emplace_back("Left", IntegerValue(p.left));
        if (sizeable) {
            values.emplace_back("Width", IntegerValue(p.width));
            values.emplace_back("Height", IntegerValue(p.height));
        }
    }
    TryWrite([&] { WriteValues(WinPosKey(formName), values); });
}

void TExtRegistry::CentredPosition(int screenWidth, int screenHeight, int width, int height,
                                   int& left, int& top) {
    auto centre = [](int screen, int size) {
        std::int64_t v = (static_cast<std::int64_t>(screen) - size) / 2;
        return static_cast<int>(std::clamp<std::int64_t>(v, 0, INT32_MAX));
    };
    left = centre(screenWidth, width);
    top = centre(screenHeight, height);
}

}  // namespace velview
