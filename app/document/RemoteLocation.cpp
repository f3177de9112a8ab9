#include "app/document/RemoteLocation.h"

#include "brindlekit/ftp/FTPServerStore.h"
#include "platform/net/FtpNames.h"
#include "platform/net/FtpPaths.h"
#include "platform/ui/UIServices.h"

using namespace brindle;

namespace {

const std::string kScheme = "ftp://";

bool IsFtpAddress(const std::string& address) { return address.compare(0, kScheme.size(), kScheme) == 0; }

// The text between "ftp://" and the first "/" after it.
std::string ServerPart(const std::string& address)
{
    const auto end = address.find('/', kScheme.size());
    return address.substr(kScheme.size(), end == std::string::npos ? std::string::npos : end - kScheme.size());
}

bool NamesStoredServer(const std::string& address)
{
    return IsFtpAddress(address) && CFTPServerStore::HasRecord(ServerPart(address));
}

std::string NotUnderstood(const std::string& address)
{
    return "The address " + AddressWithoutPassword(address) +
           " is not understood. Use ftp://SERVER/folder/file.xml, where SERVER is a server "
           "stored under [FTP] Open FTP..., or ftp://user@host:port/folder/file.xml.";
}

} // namespace

std::optional<RemoteAddress> ParseRemoteAddress(const std::string& address)
{
    if (!IsFtpAddress(address)) return std::nullopt;
    const std::string rest = address.substr(kScheme.size());
    const auto first = rest.find('/');
    if (first == std::string::npos) return std::nullopt;
    const auto last = rest.rfind('/');
    RemoteAddress parts;
    parts.server = rest.substr(0, first);
    parts.folder = rest.substr(first, last - first);
    parts.file = rest.substr(last + 1);
    return parts;
}

std::string AddressWithoutPassword(const std::string& address)
{
    if (!IsFtpAddress(address)) return address;
    // The user ends at the first ":" of the text before the first "@".
    const std::string server = ServerPart(address);
    const auto at = server.find('@');
    const auto colon = server.find(':');
    if (at == std::string::npos || colon > at || NamesStoredServer(address)) return address;
    return address.substr(0, kScheme.size() + colon) + address.substr(kScheme.size() + at);
}

namespace {

// A file name an address gives is sent to the server and may name local files
// (the copy offered for saving): it must be one plain name.
bool CheckFileName(const RemoteLocation& where, const std::string& address, DocErrors& errors)
{
    if (FtpNameIsSafe(where.File())) return true;
    errors.Add("The address " + AddressWithoutPassword(address) + " names no file that can be fetched or saved: \"" +
               FtpDisplayName(where.File()) + "\" is not a plain file name.");
    return false;
}

} // namespace

std::optional<RemoteLocation> RemoteLocation::Find(const std::string& address, DocErrors& errors)
{
    std::optional<RemoteLocation> where = Locate(address, errors);
    if (where && !CheckFileName(*where, address, errors)) return std::nullopt;
    return where;
}

std::optional<RemoteLocation> RemoteLocation::Locate(const std::string& address, DocErrors& errors)
{
    RemoteLocation where;
    where.m_address = AddressWithoutPassword(address);
    if (NamesStoredServer(address)) {
        if (std::optional<RemoteAddress> parts = ParseRemoteAddress(address)) {
            where.m_parts = *parts;
            return where;
        }
        errors.Add(NotUnderstood(address));
        return std::nullopt;
    }

    const std::optional<FtpUrl> url = ParseFtpUrl(address);
    // The path is from the login folder: its first "/" only separates it from the host.
    const std::string path = url ? url->path.substr(1) : std::string();
    const auto slash = path.rfind('/');
    where.m_parts.file = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!url || where.m_parts.file.empty()) {
        errors.Add(NotUnderstood(address));
        return std::nullopt;
    }
    where.m_parts.folder = slash == std::string::npos ? std::string() : slash == 0 ? "/" : path.substr(0, slash);
    where.m_parts.server = url->host;

    Login login{url->host, url->port, url->user.value_or(std::string()), url->password.value_or(std::string())};
    if (login.user.empty() || login.user == "anonymous") {
        // Anonymous servers take any password; by custom one that looks like a mail address.
        login.user = "anonymous";
        if (!url->password) login.password = "anonymous@";
    } else if (!url->password) {
        const std::string server = url->port == 21 ? url->host : url->host + ":" + std::to_string(url->port);
        if (!UIServices().PasswordBox("Password for " + login.user + " on " + server + ":", "FTP Login",
                                      login.password))
            return std::nullopt;
    }
    where.m_login = std::move(login);
    return where;
}

std::unique_ptr<CFTPFolderServer> RemoteLocation::Server() const
{
    if (!m_login) return CFTPServerStore::ReadRecord(m_parts.server);
    return std::make_unique<CFTPFolderServer>(m_parts.server, m_login->host, m_login->user, m_login->password,
                                              std::string(), m_login->port);
}
