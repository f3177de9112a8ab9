#pragma once

#include <string>
#include <vector>

// The plugin scripts found in the scripts folder when the program started: up to
// ten "*.vbs" files, each run by the command 300 + its index.
class CScriptList {
public:
    static constexpr int kMaxScripts = 10;

    // Reads the folder named by the "scriptPath" setting.
    CScriptList();
    // Reads the given folder (a path ending with its separator, or not).
    explicit CScriptList(const std::string& folder);

    int GetCount() const { return static_cast<int>(m_paths.size()); }
    // Full path and file name (with extension) of script index; "" when out of range.
    std::string GetScriptPath(int index) const;
    std::string GetScriptName(int index) const;

    // The list the plugin commands use: the main frame's, while it exists.
    static const CScriptList* Current();
    static void SetCurrent(const CScriptList* list);

private:
    void Fill(const std::string& folder);

    std::vector<std::string> m_paths;
    std::vector<std::string> m_names;
};
