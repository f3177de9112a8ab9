#include "app/explorer/ServerFields.h"

#include "brindlekit/ftp/FTPFolderServer.h"
#include "brindlekit/ftp/FTPServerStore.h"

#include <cctype>

ServerFields ServerFields::ForNewServer() { return {"", "", "/", "", "", "21", false, ""}; }

ServerFields ServerFields::From(const brindle::CFTPFolderServer& server)
{
    return {server.GetEntryName(), server.GetHostname(),  server.GetInitialDir(),
            server.GetUsername(),  server.GetPassword(), std::to_string(server.GetPort()),
            server.GetTls().required, server.GetTls().caFile};
}

void AddServerFromFields(brindle::CFTPServerStore& store, const ServerFields& f)
{
    auto server =
        std::make_unique<brindle::CFTPFolderServer>(f.entryName, f.host, f.user, f.password, f.initialDir, ServerPort(f));
    server->SetTls({f.tls, f.caFile});
    store.AddServer(std::move(server));
}

void ModifyServerFromFields(brindle::CFTPServerStore& store, brindle::CFTPFolderServer* server, const ServerFields& f)
{
    server->SetTls({f.tls, f.caFile});
    store.ModifyServer(server, f.entryName, f.host, f.user, f.password, f.initialDir, ServerPort(f));
}

namespace {

bool AllDigits(const std::string& text)
{
    if (text.empty()) return false;
    for (unsigned char c : text)
        if (!std::isdigit(c)) return false;
    return true;
}

// Characters, as the boxes count them, of UTF-8 text.
std::size_t Characters(const std::string& text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::optional<std::string> ValidateServerFields(const ServerFields& fields)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"Connection Name", &fields.entryName}, {"Hostname", &fields.host}, {"Initial Directory", &fields.initialDir},
        {"Username", &fields.user},             {"Password", &fields.password}};
    for (const auto& [label, text] : texts)
        if (Characters(*text) > kMaxServerField)
            return std::string(label) + ": enter no more than " + std::to_string(kMaxServerField) + " characters.";
    // The name is the record's key and the first part of its documents' addresses.
    if (Trimmed(fields.entryName).empty()) return std::string("Connection Name: enter a name for the server.");
    if (fields.entryName.find_first_of("/\\") != std::string::npos)
        return std::string("Connection Name: a name cannot contain \"/\" or \"\\\".");
    if (Trimmed(fields.host).empty()) return std::string("Hostname: enter the server's host name or address.");
    const std::string port = Trimmed(fields.port);
    if (!AllDigits(port) || port.size() > 5 || std::stoul(port) < 1 || std::stoul(port) > kMaxServerPort)
        return "Port: enter a whole number from 1 to " + std::to_string(kMaxServerPort) + ".";
    return std::nullopt;
}

std::uint32_t ServerPort(const ServerFields& fields) { return static_cast<std::uint32_t>(std::stoul(Trimmed(fields.port))); }
