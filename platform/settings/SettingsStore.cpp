#include "platform/settings/SettingsStore.h"

#include "platform/io/AtomicFileWriter.h"
#include "platform/ui/UIServices.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace brindle {

namespace {

constexpr const char* kMagic = "BrindleSettings 1";

struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
            return std::tolower(x) < std::tolower(y);
        });
    }
};

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7f || c == '%' || c == '\\' || c == '[' || c == ']' || c == '=';
}

std::string Escape(const std::string& s)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (NeedsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> Unescape(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        auto digit = [](char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            return -1;
        };
        int hi = digit(s[i + 1]), lo = digit(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::string Timestamp()
{
    std::time_t t = std::time(nullptr);
    char buf[32];
    std::tm tm{};
    localtime_r(&t, &tm);
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

} // namespace

SettingsStore::Stamp SettingsStore::StampOf(const struct stat& st)
{
    return {static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, st.st_size,
            static_cast<uint64_t>(st.st_ino)};
}

struct SettingsStore::Key {
    std::map<std::string, std::unique_ptr<Key>, CaseLess> subkeys;
    std::map<std::string, Value, CaseLess> values;
};

SettingsStore::SettingsStore(std::filesystem::path file)
    : m_file(std::move(file)), m_root(std::make_unique<Key>())
{
    Load();
}

SettingsStore::~SettingsStore() = default;

std::filesystem::path SettingsStore::UserFolder()
{
    if (const char* dir = std::getenv("BRINDLE_CONFIG_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "Brindle";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".config" / "Brindle";
}

SettingsStore& SettingsStore::User()
{
    static SettingsStore store(UserFolder() / "settings");
    return store;
}

SettingsStore::Key* SettingsStore::Find(const std::string& path)
{
    Key* k = m_root.get();
    for (const auto& part : SplitPath(path)) {
        auto it = k->subkeys.find(part);
        if (it == k->subkeys.end()) return nullptr;
        k = it->second.get();
    }
    return k;
}

SettingsStore::Key* SettingsStore::FindOrCreate(const std::string& path)
{
    Key* k = m_root.get();
    for (const auto& part : SplitPath(path)) {
        auto& slot = k->subkeys[part];
        if (!slot) slot = std::make_unique<Key>();
        k = slot.get();
    }
    return k;
}

void SettingsStore::RefreshIfChanged()
{
    struct stat st{};
    Stamp now;
    if (::stat(m_file.c_str(), &st) == 0) now = StampOf(st);
    if (now.size >= 0 && !(now == m_stamp)) Load();
}

void SettingsStore::Load()
{
    m_root = std::make_unique<Key>();
    m_stamp = Stamp{};
    struct stat st{};
    if (::stat(m_file.c_str(), &st) != 0 && errno == ENOENT) return;

    std::ifstream in(m_file, std::ios::binary);
    bool ok = in.good();
    if (ok) {
        auto root = std::make_unique<Key>();
        Key* current = nullptr;
        std::string line;
        ok = std::getline(in, line) && line == kMagic;
        while (ok && std::getline(in, line)) {
            if (line.empty()) continue;
            if (line.front() == '[' && line.back() == ']') {
                current = root.get();
                for (const auto& raw : SplitPath(line.substr(1, line.size() - 2))) {
                    auto name = Unescape(raw);
                    if (!name) { ok = false; break; }
                    auto& slot = current->subkeys[*name];
                    if (!slot) slot = std::make_unique<Key>();
                    current = slot.get();
                }
                continue;
            }
            size_t eq = line.find('=');
            if (!current || line.size() < 3 || line[1] != ' ' || eq == std::string::npos) { ok = false; break; }
            auto name = Unescape(line.substr(2, eq - 2));
            std::string rest = line.substr(eq + 1);
            if (!name) { ok = false; break; }
            if (line[0] == 's') {
                auto value = Unescape(rest);
                if (!value) { ok = false; break; }
                current->values[*name] = *value;
            } else if (line[0] == 'i') {
                char* end = nullptr;
                errno = 0;
                long long v = std::strtoll(rest.c_str(), &end, 10);
                if (rest.empty() || *end || errno || v < INT32_MIN || v > INT32_MAX) { ok = false; break; }
                current->values[*name] = static_cast<int32_t>(v);
            } else {
                ok = false;
            }
        }
        if (ok && in.bad()) ok = false;
        if (ok) {
            m_root = std::move(root);
            m_stamp = StampOf(st);
            return;
        }
    }

    // Unreadable or damaged: keep the file aside so nothing in it is lost, start empty.
    std::filesystem::path backup = m_file;
    backup += ".unreadable-" + Timestamp();
    std::error_code ec;
    std::filesystem::rename(m_file, backup, ec);
    if (ec) {
        m_problem = "The settings file " + m_file.string() + " could not be read and could not be set aside (" +
                    ec.message() + "). Brindle starts with default settings and will not change that file.";
        m_writeFailed = true;
        m_file.clear();
    } else {
        m_problem = "The settings file " + m_file.string() + " could not be read. It was kept as " + backup.string() +
                    " and Brindle starts with default settings.";
    }
}

bool SettingsStore::Save()
{
    if (m_file.empty()) return false;
    std::ostringstream out;
    out << kMagic << '\n';
    // Depth-first, so every key (also an empty one) has its own header line.
    auto write = [&](auto& self, const Key& key, const std::string& path) -> void {
        if (!path.empty() || !key.values.empty()) out << '[' << path << "]\n";
        for (const auto& [name, value] : key.values) {
            if (const auto* s = std::get_if<std::string>(&value))
                out << "s " << Escape(name) << '=' << Escape(*s) << '\n';
            else
                out << "i " << Escape(name) << '=' << std::get<int32_t>(value) << '\n';
        }
        for (const auto& [name, sub] : key.subkeys)
            self(self, *sub, path.empty() ? Escape(name) : path + '\\' + Escape(name));
    };
    write(write, *m_root, "");
    const std::string data = out.str();

    std::error_code ec;
    std::filesystem::create_directories(m_file.parent_path(), ec);
    AtomicFileWriter writer(m_file.string(), 0600);
    int err = 0;
    if (!writer.Open() || !writer.Write(data.data(), data.size()) || !writer.Commit()) err = errno ? errno : EIO;
    if (err) {
        if (!m_writeFailed)
            UIServices().MessageBox("Brindle could not save its settings to " + m_file.string() + ": " +
                                        std::strerror(err) + ". Changes are kept until Brindle exits.",
                                    MsgButtons::Ok, MsgIcon::Warning);
        m_writeFailed = true;
        return false;
    }
    m_writeFailed = false;
    struct stat st{};
    if (::stat(m_file.c_str(), &st) == 0) m_stamp = StampOf(st);
    return true;
}

std::optional<SettingsStore::Value> SettingsStore::GetValue(const std::string& key, const std::string& name)
{
    RefreshIfChanged();
    Key* k = Find(key);
    if (!k) return std::nullopt;
    auto it = k->values.find(name);
    if (it == k->values.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> SettingsStore::GetString(const std::string& key, const std::string& name)
{
    auto v = GetValue(key, name);
    if (!v) return std::nullopt;
    if (const auto* s = std::get_if<std::string>(&*v)) return *s;
    return std::to_string(std::get<int32_t>(*v));
}

std::optional<int32_t> SettingsStore::GetInt(const std::string& key, const std::string& name)
{
    auto v = GetValue(key, name);
    if (!v) return std::nullopt;
    if (const auto* i = std::get_if<int32_t>(&*v)) return *i;
    // A number stored as text is read as the number, as the profile functions do.
    const std::string& s = std::get<std::string>(*v);
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || *end || errno || n < INT32_MIN || n > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(n);
}

bool SettingsStore::SetString(const std::string& key, const std::string& name, const std::string& value)
{
    RefreshIfChanged();
    FindOrCreate(key)->values[name] = value;
    return Save();
}

bool SettingsStore::SetInt(const std::string& key, const std::string& name, int32_t value)
{
    RefreshIfChanged();
    FindOrCreate(key)->values[name] = value;
    return Save();
}

bool SettingsStore::CreateKey(const std::string& key)
{
    RefreshIfChanged();
    if (Find(key)) return true;
    FindOrCreate(key);
    return Save();
}

bool SettingsStore::DeleteValue(const std::string& key, const std::string& name)
{
    RefreshIfChanged();
    Key* k = Find(key);
    if (!k || k->values.erase(name) == 0) return false;
    return Save();
}

bool SettingsStore::DeleteKey(const std::string& key)
{
    RefreshIfChanged();
    auto parts = SplitPath(key);
    if (parts.empty()) return false;
    std::string leaf = parts.back();
    parts.pop_back();
    Key* parent = m_root.get();
    for (const auto& part : parts) {
        auto it = parent->subkeys.find(part);
        if (it == parent->subkeys.end()) return false;
        parent = it->second.get();
    }
    if (parent->subkeys.erase(leaf) == 0) return false;
    return Save();
}

bool SettingsStore::KeyExists(const std::string& key)
{
    RefreshIfChanged();
    return Find(key) != nullptr;
}

std::vector<std::string> SettingsStore::EnumSubkeys(const std::string& key)
{
    RefreshIfChanged();
    std::vector<std::string> names;
    if (Key* k = Find(key))
        for (const auto& entry : k->subkeys) names.push_back(entry.first);
    return names;
}

std::vector<std::string> SettingsStore::EnumValueNames(const std::string& key)
{
    RefreshIfChanged();
    std::vector<std::string> names;
    if (Key* k = Find(key))
        for (const auto& entry : k->values) names.push_back(entry.first);
    return names;
}

std::string SettingsStore::TakeProblem() { return std::exchange(m_problem, {}); }

} // namespace brindle
