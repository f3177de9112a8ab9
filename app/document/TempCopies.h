#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The local copies through which remote documents are read and written. Each is
// a file in the system's temporary folder named "WDS", the id of the process
// that made it, "-" and six characters, readable and writable by the user alone.
// The id lets a later start-up tell the copies of a program that has gone
// (crashed, killed) from those of one still running.

// A new empty copy; "" when none could be made.
std::string CreateTempFile();
// Removes the copies in the folder whose process is no longer running. Files of
// other programs (other names), of other users, and anything not a plain file
// are left alone. Returns how many were removed.
int RemoveStaleTempFiles(const std::filesystem::path& folder = std::filesystem::temp_directory_path());

// A remote name turned into a local file name: its last component ("passwd" of
// "../../etc/passwd") when that is a name a server may hand out and act on,
// otherwise the fallback. A local path made of a folder and this name stays in
// that folder.
std::string SafeLocalName(std::string_view remote, const std::string& fallback);
