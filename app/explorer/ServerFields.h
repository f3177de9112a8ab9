#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brindle {
class CFTPFolderServer;
class CFTPServerStore;
}

// The six values of the server configuration dialog, as typed.
struct ServerFields {
    std::string entryName;
    std::string host;
    std::string initialDir;
    std::string user;
    std::string password;
    std::string port; // the text of the port box
    bool tls = false;   // explicit TLS required
    std::string caFile = {}; // certificate authorities to trust ("" for the system's)

    // A new server: root folder, port 21.
    static ServerFields ForNewServer();
    // The stored values of a server.
    static ServerFields From(const brindle::CFTPFolderServer& server);
};

// The longest text a field takes, and the port's range.
inline constexpr std::size_t kMaxServerField = 255;
inline constexpr std::uint32_t kMaxServerPort = 99999;

// nullopt when the values can be stored; otherwise what to tell the user. The
// message never holds the password.
std::optional<std::string> ValidateServerFields(const ServerFields& fields);
// The port of fields that passed validation.
std::uint32_t ServerPort(const ServerFields& fields);

// Adds a server made of fields that passed validation, or gives an existing one
// the new values, its TLS choice included; the record is written.
void AddServerFromFields(brindle::CFTPServerStore& store, const ServerFields& fields);
void ModifyServerFromFields(brindle::CFTPServerStore& store, brindle::CFTPFolderServer* server,
                            const ServerFields& fields);
