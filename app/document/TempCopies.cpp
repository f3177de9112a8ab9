#include "app/document/TempCopies.h"

#include "platform/net/FtpNames.h"

#include <cerrno>
#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "WDS";
constexpr std::size_t kUniqueLength = 6; // what mkstemp puts in place of "XXXXXX"

// The process id in a copy's name; nullopt for a name not made by CreateTempFile.
std::optional<pid_t> OwnerOf(const std::string& name)
{
    const std::string prefix = kPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const auto dash = name.find('-', prefix.size());
    if (dash == std::string::npos || dash == prefix.size() || dash - prefix.size() > 9) return std::nullopt;
    if (name.size() != dash + 1 + kUniqueLength) return std::nullopt;
    pid_t pid = 0;
    for (std::size_t i = prefix.size(); i < dash; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        pid = pid * 10 + (name[i] - '0');
    }
    if (pid <= 0) return std::nullopt;
    return pid;
}

// A process of another user answers EPERM: it is there all the same.
bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

} // namespace

std::string CreateTempFile()
{
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) return {};
    std::string pattern = (folder / (kPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data()); // created 0600
    if (fd < 0) return {};
    ::close(fd);
    return pattern;
}

int RemoveStaleTempFiles(const fs::path& folder)
{
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::optional<pid_t> owner = OwnerOf(it->path().filename().string());
        if (!owner || IsRunning(*owner)) continue;
        struct stat st;
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
        std::error_code removeError;
        if (fs::remove(it->path(), removeError)) ++removed;
    }
    return removed;
}

std::string SafeLocalName(std::string_view remote, const std::string& fallback)
{
    const auto slash = remote.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? remote : remote.substr(slash + 1);
    return brindle::FtpNameIsSafe(last) ? std::string(last) : fallback;
}
