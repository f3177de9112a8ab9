#pragma once

#include "platform/Export.h"
#include "platform/net/FtpClient.h"

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// Reading directory listings as servers send them, without a connection.
//   MLSD lines: "fact=value;fact=value; name" (type, size, modify, create, perm,
//     unix.mode); times are UTC "YYYYMMDDHHMMSS[.sss]".
//   LIST lines in the Unix form ("drwxr-xr-x 2 user group 4096 Jan 31 12:00 name",
//     a year instead of the time for older entries, "name -> target" for links)
//     and the DOS form ("01-31-24  03:04PM  <DIR>  name" or a size).
// LIST times are taken as UTC; a Unix date without a year is the latest one not
// more than a day after `now`. "." and ".." are no entries. A name starting with
// "." is hidden; a file or folder without write permission is read-only.
// A line that is none of these gives false.

BRINDLEKIT_API bool ParseMlsdLine(std::string_view line, FtpEntry& entry);
BRINDLEKIT_API bool ParseListLine(std::string_view line, std::time_t now, FtpEntry& entry);

// Whether the name matches the pattern: "*" and "*.*" match everything, otherwise
// shell wildcards (* ? [...]).
BRINDLEKIT_API bool FtpNameMatches(const std::string& pattern, const std::string& name);

// The directory's path joined with the name ("/" + "a" is "/a").
BRINDLEKIT_API std::string FtpJoinPath(const std::string& directory, const std::string& name);

// Every entry of a whole listing (lines ended by CRLF or LF) matching the
// pattern, with `path` set under `directory`. `mlsd` chooses the line form.
BRINDLEKIT_API std::vector<FtpEntry> ParseFtpListing(std::string_view text, bool mlsd, const std::string& directory,
                                                     const std::string& pattern, std::time_t now);

} // namespace brindle
