#include "platform/net/FtpReplies.h"

#include <algorithm>
#include <map>
#include <vector>

namespace brindle {

bool FtpReplyFits(const std::string& verb, int code)
{
    if (code >= 400) return true;
    // The success codes each command is answered with.
    static const std::map<std::string, std::vector<int>> kSuccess = {
        {"", {220}},
        {"USER", {230, 331, 332}},
        {"PASS", {202, 230, 332}},
        {"ACCT", {202, 230}},
        {"PWD", {257}},
        {"CWD", {200, 250}},
        {"CDUP", {200, 250}},
        {"TYPE", {200}},
        {"MODE", {200}},
        {"STRU", {200}},
        {"PASV", {227}},
        {"EPSV", {229}},
        {"PORT", {200}},
        {"EPRT", {200}},
        {"SIZE", {213}},
        {"MDTM", {213}},
        {"REST", {350}},
        {"RETR", {225, 226, 250}},
        {"STOR", {225, 226, 250}},
        {"APPE", {225, 226, 250}},
        {"LIST", {225, 226, 250}},
        {"NLST", {225, 226, 250}},
        {"MLSD", {225, 226, 250}},
        {"DELE", {250}},
        {"RMD", {250}},
        {"MKD", {257}},
        {"RNFR", {350}},
        {"RNTO", {250}},
        {"NOOP", {200}},
        {"QUIT", {221}},
        {"ABOR", {225, 226}},
    };
    const auto it = kSuccess.find(verb);
    if (it == kSuccess.end()) return true;
    return std::find(it->second.begin(), it->second.end(), code) != it->second.end();
}

} // namespace brindle
