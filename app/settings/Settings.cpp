#include "app/settings/Settings.h"

#include "platform/settings/Profile.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <wx/stdpaths.h>
#include <wx/utils.h>

using brindle::Profile;

namespace Settings {

namespace {

constexpr const char* kSection = "Settings";
std::string g_programFolder;

int GetInt(const char* entry, int defaultValue) { return Profile::GetProfileInt(kSection, entry, defaultValue); }

std::string WithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// A folder value: the stored one (readers join names to it, so it comes with a
// separator even when stored without), else the default, written back.
std::string GetFolder(const char* entry, const std::string& defaultFolder)
{
    std::string value = Profile::GetProfileString(kSection, entry);
    if (!value.empty()) {
        std::error_code ec; // a folder that cannot be created is ignored
        std::filesystem::create_directory(value, ec);
        return WithSeparator(value);
    }
    value = defaultFolder;
    Profile::WriteProfileString(kSection, entry, value);
    return value;
}

// The user's documents folder (XDG_DOCUMENTS_DIR), else the home folder.
std::string DocumentsFolder()
{
    std::string folder = wxStandardPaths::Get().GetUserDir(wxStandardPaths::Dir_Documents).utf8_string();
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) folder = wxGetHomeDir().utf8_string();
    return WithSeparator(folder);
}

} // namespace

int GetValidateOnParse() { return GetInt(Key::kValidateOnParse, 1); }
int GetResolveExternals() { return GetInt(Key::kResolveExternals, 1); }
int GetUseXPath() { return GetInt(Key::kUseXPath, 0); }
int GetProcessXIncludes() { return GetInt(Key::kProcessXIncludes, 0); }
std::string GetUserCatalog() { return Profile::GetProfileString(kSection, Key::kUserCatalog); }
int GetDisplayFileTypesDlg() { return GetInt(Key::kDisplayFileTypesDlg, 0); }
int GetDisplayNavBar() { return GetInt(Key::kDisplayNavBar, 0); }
int GetStartWithSourceView() { return GetInt(Key::kStartWithSourceView, 0); }
int GetPreviewPages() { return GetInt("PreviewPages", 0); }
int GetKeepOwnText() { return GetInt(Key::kKeepOwnText, 1); }
int GetShowLineNumbers() { return GetInt(Key::kShowLineNumbers, 1); }
int GetEnableFolding() { return GetInt(Key::kEnableFolding, 1); }
int GetXmlColouring() { return GetInt(Key::kXmlColouring, 1); }
int GetLargeFileAsText() { return std::clamp(GetInt(Key::kLargeFileAsText, -1), -1, 1); }

int GetLargeFileMB()
{
    const int value = GetInt(Key::kLargeFileMB, 200);
    return value >= 0 ? value : 200;
}

int GetScriptMemoryMB()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE); // -1 when unknown
    const long long quarter =
        pages > 0 && pageSize > 0 ? static_cast<long long>(pages) * pageSize / 4 / (1024 * 1024) : 4096;
    const int fallback = static_cast<int>(std::clamp<long long>(quarter, 1, 4096));
    const int value = GetInt("scriptMemoryMB", fallback);
    return value >= 1 ? value : fallback;
}

void WriteInt(const char* key, int value) { Profile::WriteProfileInt(kSection, key, value); }
void WriteString(const char* key, const std::string& value) { Profile::WriteProfileString(kSection, key, value); }

std::string GetParserAppId()
{
    std::string id = Profile::GetProfileString(kSection, "parserAppId");
    if (id.empty()) {
        id = "Msxml2.DOMDocument";
        Profile::WriteProfileString(kSection, "parserAppId", id);
    }
    return id;
}

void WriteParserAppId(const std::string& identifier) { Profile::WriteProfileString(kSection, "parserAppId", identifier); }

std::string GetTemplatePath() { return GetFolder(Key::kTemplatePath, ShippedFolder("templates")); }
std::string GetWorkingPath() { return GetFolder(Key::kWorkingPath, DocumentsFolder()); }
std::string GetScriptPath() { return GetFolder(Key::kScriptPath, ShippedFolder("scripts")); }

std::string ShippedFolder(const std::string& name)
{
    const std::string beside = ProgramFolder() + name + "/";
    std::error_code ec;
    if (std::filesystem::is_directory(beside, ec)) return beside;
    const std::filesystem::path installed =
        (std::filesystem::path(ProgramFolder()) / BRINDLE_DATA_FROM_PROGRAM / name).lexically_normal();
    if (std::filesystem::is_directory(installed, ec)) return WithSeparator(installed.string());
    return beside;
}

std::string ProgramFolder()
{
    if (!g_programFolder.empty()) return g_programFolder;
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

void SetProgramFolder(const std::string& folder)
{
    g_programFolder = folder;
    if (!g_programFolder.empty() && g_programFolder.back() != '/') g_programFolder += '/';
}

} // namespace Settings
