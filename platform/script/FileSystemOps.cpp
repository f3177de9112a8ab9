#include "platform/script/FileSystemOps.h"

#include "platform/script/ScriptError.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace brindle::vbs::fsops {

fs::path ToPath(VbStringView text)
{
    std::string utf8 = ToUtf8(text);
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return fs::path(utf8);
}

VbString FromPath(const fs::path& path) { return ToVb(path.string()); }

fs::path Absolute(const fs::path& path)
{
    std::error_code ec;
    fs::path result = fs::absolute(path.empty() ? fs::path(".") : path, ec).lexically_normal();
    std::string text = result.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return fs::path(text);
}

bool IsFolder(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool IsFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool EndsWithSeparator(VbStringView text) { return !text.empty() && (text.back() == u'/' || text.back() == u'\\'); }

void Throw(int number) { throw ScriptError(number); }

void ThrowFor(const std::error_code& ec, int notFound)
{
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
        ec == std::errc::read_only_file_system || ec == std::errc::is_a_directory ||
        ec == std::errc::directory_not_empty)
        Throw(err::kPermissionDenied);
    if (ec == std::errc::file_exists) Throw(err::kFileAlreadyExists);
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) Throw(notFound);
    throw ScriptError(err::kPathFileAccessError, ErrorDescription(err::kPathFileAccessError) + ": " + ec.message());
}

bool HasWildcards(const fs::path& filespec)
{
    std::string name = filespec.filename().string();
    return name.find_first_of("*?") != std::string::npos;
}

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// "*" any run of characters, "?" any one.
bool Matches(std::string_view pattern, std::string_view name)
{
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool IsKind(const fs::path& path, bool folder) { return folder ? IsFolder(path) : IsFile(path); }

bool IsReadOnly(const fs::path& path)
{
    std::error_code ec;
    auto perms = fs::status(path, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) == fs::perms::none;
}

bool Exists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void RequireParent(const fs::path& target)
{
    fs::path parent = Absolute(target).parent_path();
    if (!IsKind(parent, true)) Throw(err::kPathNotFound);
}

// The items of a copy, move or delete, and where each goes.
struct Plan {
    std::vector<fs::path> items;
    fs::path destination;
    bool intoFolder = false;
    fs::path TargetOf(const fs::path& item) const { return intoFolder ? destination / item.filename() : destination; }
};

Plan MakePlan(VbStringView source, VbStringView destination, bool folders)
{
    Plan plan;
    fs::path filespec = ToPath(source);
    plan.items = Expand(filespec, folders);
    if (plan.items.empty()) Throw(folders ? err::kPathNotFound : err::kFileNotFound);
    plan.destination = ToPath(destination);
    plan.intoFolder = EndsWithSeparator(destination) || HasWildcards(filespec);
    if (plan.intoFolder && !IsKind(plan.destination, true)) Throw(err::kPathNotFound);
    return plan;
}

void CopyOneFile(const fs::path& from, const fs::path& to, bool overwrite)
{
    std::error_code ec;
    if (IsKind(to, true)) Throw(err::kPermissionDenied);
    if (Exists(to)) {
        if (!overwrite) Throw(err::kFileAlreadyExists);
        if (fs::equivalent(from, to, ec)) Throw(err::kPermissionDenied);
    }
    RequireParent(to);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) ThrowFor(ec, err::kPathNotFound);
}

void CopyTree(const fs::path& from, const fs::path& to, bool overwrite)
{
    std::error_code ec;
    if (Exists(to) && !IsKind(to, true)) Throw(err::kFileAlreadyExists);
    if (!Exists(to)) {
        RequireParent(to);
        fs::create_directory(to, ec);
        if (ec) ThrowFor(ec, err::kPathNotFound);
    }
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        fs::path target = to / entry.path().filename();
        if (entry.is_directory(ec))
            CopyTree(entry.path(), target, overwrite);
        else
            CopyOneFile(entry.path(), target, overwrite);
    }
    if (ec) ThrowFor(ec, err::kPathNotFound);
}

void MoveOne(const fs::path& from, const fs::path& to, bool folder)
{
    if (Exists(to)) Throw(err::kFileAlreadyExists);
    RequireParent(to);
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec == std::errc::cross_device_link) {
        // Another file system: copy, then remove the original.
        if (folder)
            CopyTree(from, to, false);
        else
            CopyOneFile(from, to, false);
        fs::remove_all(from, ec);
    }
    if (ec) ThrowFor(ec, folder ? err::kPathNotFound : err::kFileNotFound);
}

bool Inside(const fs::path& inner, const fs::path& outer)
{
    std::string a = Absolute(inner).string(), b = Absolute(outer).string();
    return a == b || (a.size() > b.size() && a.compare(0, b.size(), b) == 0 && (b == "/" || a[b.size()] == '/'));
}

} // namespace

std::vector<fs::path> Expand(const fs::path& filespec, bool folders)
{
    if (!HasWildcards(filespec)) {
        if (IsKind(filespec, folders)) return {filespec};
        return {};
    }
    fs::path folder = filespec.parent_path().empty() ? fs::path(".") : filespec.parent_path();
    if (!IsKind(folder, true)) Throw(err::kPathNotFound);
    std::string pattern = filespec.filename().string();
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (IsKind(entry.path(), folders) && Matches(pattern, entry.path().filename().string()))
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

DateValue ToDate(fs::file_time_type time)
{
    auto system = std::chrono::file_clock::to_sys(time);
    auto seconds = std::chrono::floor<std::chrono::seconds>(system);
    return ToDate(std::chrono::system_clock::to_time_t(seconds));
}

DateValue ToDate(std::time_t stamp)
{
    std::tm local{};
    localtime_r(&stamp, &local);
    // Days from 1 March of year 0 (proleptic Gregorian), then from 30 December 1899.
    auto daysFromCivil = [](int y, unsigned m, unsigned d) {
        y -= m <= 2;
        const int era = (y >= 0 ? y : y - 399) / 400;
        const unsigned yoe = static_cast<unsigned>(y - era * 400);
        const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + static_cast<int>(doe);
    };
    int days = daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) - daysFromCivil(1899, 12, 30);
    double fraction = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    return DateValue{days + fraction};
}

int32_t Attributes(const fs::path& path)
{
    int32_t attributes = IsKind(path, true) ? 16 : 32;
    if (IsReadOnly(path)) attributes |= 1;
    std::string name = Absolute(path).filename().string();
    if (!name.empty() && name[0] == '.') attributes |= 2;
    return attributes;
}

void SetAttributes(const fs::path& path, int32_t attributes)
{
    std::error_code ec;
    constexpr auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (attributes & 1)
        fs::permissions(path, write, fs::perm_options::remove, ec);
    else
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    if (ec) ThrowFor(ec, err::kFileNotFound);
}

void CopyFiles(VbStringView source, VbStringView destination, bool overwrite)
{
    Plan plan = MakePlan(source, destination, false);
    for (const auto& item : plan.items) CopyOneFile(item, plan.TargetOf(item), overwrite);
}

void CopyFolders(VbStringView source, VbStringView destination, bool overwrite)
{
    Plan plan = MakePlan(source, destination, true);
    for (const auto& item : plan.items) {
        fs::path target = plan.TargetOf(item);
        if (Inside(target, item)) Throw(err::kPermissionDenied); // a folder into itself
        CopyTree(item, target, overwrite);
    }
}

void MoveFiles(VbStringView source, VbStringView destination)
{
    Plan plan = MakePlan(source, destination, false);
    for (const auto& item : plan.items) MoveOne(item, plan.TargetOf(item), false);
}

void MoveFolders(VbStringView source, VbStringView destination)
{
    Plan plan = MakePlan(source, destination, true);
    for (const auto& item : plan.items) {
        fs::path target = plan.TargetOf(item);
        if (Inside(target, item)) Throw(err::kPermissionDenied);
        MoveOne(item, target, true);
    }
}

void DeleteFiles(VbStringView filespec, bool force)
{
    auto items = Expand(ToPath(filespec), false);
    if (items.empty()) Throw(err::kFileNotFound);
    for (const auto& item : items) {
        if (IsReadOnly(item) && !force) Throw(err::kPermissionDenied);
        std::error_code ec;
        fs::remove(item, ec);
        if (ec) ThrowFor(ec, err::kFileNotFound);
    }
}

void DeleteFolders(VbStringView filespec, bool force)
{
    auto items = Expand(ToPath(filespec), true);
    if (items.empty()) Throw(err::kPathNotFound);
    for (const auto& item : items) {
        if (IsReadOnly(item) && !force) Throw(err::kPermissionDenied);
        std::error_code ec;
        fs::remove_all(item, ec);
        if (ec) ThrowFor(ec, err::kPathNotFound);
    }
}

uintmax_t FolderSize(const fs::path& folder)
{
    uintmax_t total = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) {
            uintmax_t size = it->file_size(sizeError);
            if (!sizeError) total += size;
        }
    }
    return total;
}

} // namespace brindle::vbs::fsops
