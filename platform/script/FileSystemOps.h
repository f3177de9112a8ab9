#pragma once

#include "platform/script/Variant.h"

#include <ctime>
#include <filesystem>
#include <vector>

namespace brindle::vbs::fsops {

// The file operations behind Scripting.FileSystemObject and its File and Folder
// objects. Paths arrive as script strings (UTF-8 on disk; "\" and "/" both
// separate folders). Failures throw the language's file errors: 53 file not
// found, 76 path not found, 58 file already exists, 70 permission denied.

namespace fs = std::filesystem;

fs::path ToPath(VbStringView text);
VbString FromPath(const fs::path& path);
// The absolute, normalised form, without a trailing separator (but for the root).
fs::path Absolute(const fs::path& path);
// Whether the path names an existing folder, or an existing regular file.
bool IsFolder(const fs::path& path);
bool IsFile(const fs::path& path);
// True when the text ends with a folder separator.
bool EndsWithSeparator(VbStringView text);

[[noreturn]] void Throw(int number);
// Throws the language's error for a failed system call: 70 for a permission
// problem, 58 for an existing target, notFound when something is missing,
// 75 (path/file access error) otherwise.
[[noreturn]] void ThrowFor(const std::error_code& ec, int notFound);

// The paths a file pattern names: itself when its last part holds no "*" or
// "?", else the entries of its folder whose names match (case ignored for
// ASCII letters), files or folders as asked, sorted by name.
std::vector<fs::path> Expand(const fs::path& filespec, bool folders);
bool HasWildcards(const fs::path& filespec);

// A file's date as a script Date in local time.
DateValue ToDate(fs::file_time_type time);
DateValue ToDate(std::time_t time);

// Attributes as the language numbers them: 1 read-only, 2 hidden (a name
// starting with "."), 16 folder, 32 archive (every file).
int32_t Attributes(const fs::path& path);
// Sets the read-only bit (the only one that can change here).
void SetAttributes(const fs::path& path, int32_t attributes);

// Copying and moving. A destination ending with a separator is a folder that
// receives the items under their own names; else it is the item's new path
// (only valid for a single item).
void CopyFiles(VbStringView source, VbStringView destination, bool overwrite);
void CopyFolders(VbStringView source, VbStringView destination, bool overwrite);
void MoveFiles(VbStringView source, VbStringView destination);
void MoveFolders(VbStringView source, VbStringView destination);
void DeleteFiles(VbStringView filespec, bool force);
void DeleteFolders(VbStringView filespec, bool force);
// The total size of the files under a folder.
uintmax_t FolderSize(const fs::path& folder);

} // namespace brindle::vbs::fsops
