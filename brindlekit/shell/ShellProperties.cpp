#include "brindlekit/shell/ShellProperties.h"

#include "brindlekit/ftp/FTPDirListModel.h"
#include "brindlekit/shell/ShellDirListModel.h"
#include "platform/io/DisplayName.h"
#include "platform/shell/ContentType.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

namespace brindle {

namespace fs = std::filesystem;

namespace {

std::string UserName(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->gr_name;
    return std::to_string(gid);
}

std::string Grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

} // namespace

std::string ShellProperties::SizeText(std::uint64_t bytes)
{
    char kb[64];
    std::snprintf(kb, sizeof kb, "%0.2f KB", static_cast<double>(bytes) / 1024.0);
    return std::string(kb) + " (" + Grouped(bytes) + " bytes)";
}

std::string ShellProperties::PermissionText(unsigned mode)
{
    static const char kLetters[] = "rwxrwxrwx";
    std::string text;
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400u >> bit)) ? kLetters[bit] : '-';
    char octal[16];
    std::snprintf(octal, sizeof octal, " (%04o)", mode & 07777u);
    return text + octal;
}

bool ShellProperties::Read(const fs::path& path, ShellProperties& properties, std::string& error)
{
    properties = {};
    struct stat info {};
    struct stat own {};
    const std::string shown = EscapedDisplayName(path.string());
    if (::lstat(path.c_str(), &own) != 0) {
        error = "The properties of \"" + shown + "\" cannot be read: " + std::strerror(errno) + ".";
        return false;
    }
    if (S_ISLNK(own.st_mode)) {
        std::error_code linkError;
        properties.linkTarget = EscapedDisplayName(fs::read_symlink(path, linkError).string());
    }
    // A dangling link still has properties of its own.
    if (::stat(path.c_str(), &info) != 0) info = own;

    const fs::path absolute = path.is_absolute() ? path : fs::absolute(path);
    const std::string name = absolute.filename().empty() ? absolute.string() : absolute.filename().string();
    properties.name = EscapedDisplayName(name);
    properties.location = EscapedDisplayName(absolute.parent_path().string());
    properties.isFolder = S_ISDIR(info.st_mode);
    if (properties.isFolder) {
        properties.type = "Folder";
    } else {
        const ContentType type = ContentTypeOfName(name);
        ShellDirItem item;
        item.name = name;
        properties.type = type.description.empty() ? ShellDirListModel::DefaultTypeName(item) : type.description;
        properties.size = SizeText(static_cast<std::uint64_t>(info.st_size));
    }
    if (S_ISLNK(info.st_mode)) {
        properties.type = "Link (target missing)";
        properties.size.clear();
    }
    properties.modified = FTPDirListModel::TimeText(info.st_mtime);
    properties.accessed = FTPDirListModel::TimeText(info.st_atime);
    properties.permissions = PermissionText(static_cast<unsigned>(info.st_mode));
    properties.owner = UserName(info.st_uid) + ":" + GroupName(info.st_gid);
    return true;
}

} // namespace brindle
