#include "app/document/ScriptList.h"

#include "app/settings/Settings.h"

#include <algorithm>
#include <filesystem>
#include <strings.h>

namespace {
const CScriptList* g_current = nullptr;
}

CScriptList::CScriptList() { Fill(Settings::GetScriptPath()); }

CScriptList::CScriptList(const std::string& folder) { Fill(folder); }

void CScriptList::Fill(const std::string& folder)
{
    // Files whose extension is ".vbs" in any case, as the Windows pattern "*.vbs"
    // matches them, taken in name order (the order NTFS lists a folder in), so the
    // menu is the same on every machine. Folders and unreadable entries are skipped.
    namespace fs = std::filesystem;
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        if (strcasecmp(path.extension().c_str(), ".vbs") != 0) continue;
        found.push_back(path);
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        int byCase = strcasecmp(a.filename().c_str(), b.filename().c_str());
        return byCase != 0 ? byCase < 0 : a.filename() < b.filename();
    });
    for (const fs::path& path : found) {
        if (GetCount() == kMaxScripts) break;
        m_paths.push_back(path.string());
        m_names.push_back(path.filename().string());
    }
}

std::string CScriptList::GetScriptPath(int index) const
{
    return index >= 0 && index < GetCount() ? m_paths[index] : std::string();
}

std::string CScriptList::GetScriptName(int index) const
{
    return index >= 0 && index < GetCount() ? m_names[index] : std::string();
}

const CScriptList* CScriptList::Current() { return g_current; }

void CScriptList::SetCurrent(const CScriptList* list) { g_current = list; }
