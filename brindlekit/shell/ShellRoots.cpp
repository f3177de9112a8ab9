#include "brindlekit/shell/ShellRoots.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace brindle {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool SameFolder(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// "\040" and the like stand for the byte of that octal value.
std::string DecodeOctal(const std::string& field)
{
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                decoded += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        decoded += field[i];
    }
    return decoded;
}

bool UnderVolumeFolder(const fs::path& mountPoint)
{
    const std::string text = mountPoint.string();
    for (const char* prefix : {"/media/", "/run/media/", "/mnt/"}) {
        if (text.rfind(prefix, 0) == 0 && text.size() > std::char_traits<char>::length(prefix)) return true;
    }
    return false;
}

} // namespace

ShellRootSources ShellRootSources::FromEnvironment()
{
    ShellRootSources sources;
    if (const char* home = std::getenv("HOME")) sources.home = home;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path configHome = config && *config ? fs::path(config) : sources.home / ".config";
    sources.userDirsFile = configHome / "user-dirs.dirs";
    sources.mountsFile = "/proc/self/mounts";
    return sources;
}

fs::path XdgUserDir(const std::string& fileText, const std::string& key, const fs::path& home)
{
    std::istringstream lines(fileText);
    std::string line;
    fs::path found;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) != 0) continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            found = home.string() + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            found = value;
        }
    }
    return found;
}

std::vector<fs::path> MountPoints(const std::string& tableText)
{
    std::vector<fs::path> points;
    std::istringstream lines(tableText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint;
        if (fields >> device >> mountPoint) points.emplace_back(DecodeOctal(mountPoint));
    }
    return points;
}

std::vector<ShellRoot> DefaultShellRoots(const ShellRootSources& sources)
{
    std::vector<ShellRoot> roots;
    if (IsFolder(sources.home)) roots.push_back({"Home", sources.home});
    const std::string userDirs = ReadAll(sources.userDirsFile);
    for (const auto& [key, title] : {std::pair{"XDG_DESKTOP_DIR", "Desktop"}, {"XDG_DOCUMENTS_DIR", "Documents"}}) {
        const fs::path folder = XdgUserDir(userDirs, key, sources.home);
        if (IsFolder(folder) && !SameFolder(folder, sources.home)) roots.push_back({title, folder});
    }
    roots.push_back({"/", "/"});
    for (const fs::path& point : MountPoints(ReadAll(sources.mountsFile))) {
        if (UnderVolumeFolder(point) && IsFolder(point)) roots.push_back({point.filename().string(), point});
    }
    return roots;
}

} // namespace brindle
