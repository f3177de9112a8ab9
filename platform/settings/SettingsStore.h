#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct stat;

namespace brindle {

// A per-user hierarchical store of named string and 32-bit integer values, standing
// in for the registry. Key paths use '\' between key names ("Software\Brindle");
// key and value names compare without regard to case and keep the case they were
// created with. Subkeys and values enumerate in case-insensitive name order.
//
// The whole store is one text file. Every change rewrites it atomically (temporary
// file in the same folder, fsync, rename), so a crash leaves either the old or the
// new file, never a torn one. The file is private to the user (mode 0600). A change
// made by another process is picked up before the next operation.
class BRINDLEKIT_API SettingsStore {
public:
    using Value = std::variant<std::string, int32_t>;

    explicit SettingsStore(std::filesystem::path file);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The folder of the current user's store: $BRINDLE_CONFIG_DIR when set, else
    // $XDG_CONFIG_HOME/Brindle, else ~/.config/Brindle.
    static std::filesystem::path UserFolder();
    // The current user's store (created on first use in UserFolder()).
    static SettingsStore& User();

    const std::filesystem::path& File() const { return m_file; }

    std::optional<std::string> GetString(const std::string& key, const std::string& name);
    std::optional<int32_t> GetInt(const std::string& key, const std::string& name);
    std::optional<Value> GetValue(const std::string& key, const std::string& name);

    // Setters create the key and its parents. They return false when the file
    // could not be written; the value is then kept for this run only.
    bool SetString(const std::string& key, const std::string& name, const std::string& value);
    bool SetInt(const std::string& key, const std::string& name, int32_t value);
    bool CreateKey(const std::string& key);
    bool DeleteValue(const std::string& key, const std::string& name);
    // Deletes the key with all its subkeys and values.
    bool DeleteKey(const std::string& key);

    bool KeyExists(const std::string& key);
    std::vector<std::string> EnumSubkeys(const std::string& key);
    std::vector<std::string> EnumValueNames(const std::string& key);

    // A message about a file that could not be read when the store was opened (it
    // was set aside and the store started empty), or about a failed write. Each
    // problem is returned once; empty when there is nothing to say.
    std::string TakeProblem();

private:
    struct Key;

    Key* Find(const std::string& path);
    Key* FindOrCreate(const std::string& path);
    void RefreshIfChanged();
    void Load();
    bool Save();

    std::filesystem::path m_file;
    std::unique_ptr<Key> m_root;
    struct Stamp {
        int64_t mtimeNs = -1;
        int64_t size = -1;
        uint64_t inode = 0;
        bool operator==(const Stamp&) const = default;
    } m_stamp;
    static Stamp StampOf(const struct stat& st);
    bool m_writeFailed = false;
    std::string m_problem;
};

} // namespace brindle
