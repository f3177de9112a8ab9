#include "platform/script/FileSystemItems.h"

#include "platform/script/FileSystemOps.h"
#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"
#include "platform/script/TextStream.h"

#include <algorithm>
#include <sys/stat.h>

namespace brindle::vbs {

namespace {

namespace fs = std::filesystem;

Variant SizeValue(uintmax_t size)
{
    if (size <= static_cast<uintmax_t>(INT32_MAX)) return static_cast<int32_t>(size);
    return static_cast<double>(size);
}

ObjectPtr ParentOf(const fs::path& path)
{
    if (path == path.root_path()) return nullptr;
    return std::make_shared<FolderObject>(path.parent_path());
}

// The members File and Folder share; false when name is not one of them.
bool CommonMember(fs::path& path, bool folder, std::string_view name, InvokeKind kind, std::span<Variant> args,
                  Variant& result)
{
    const bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    // Every member here is a property: read with arguments, it throws 450 and
    // the interpreter applies them to the value.
    static const std::string_view properties[] = {"name", "attributes", "", "path", "shortpath", "shortname",
                                                  "datelastmodified", "datecreated", "datelastaccessed",
                                                  "parentfolder", "drive"};
    if (std::find(std::begin(properties), std::end(properties), name) == std::end(properties)) return false;
    if (!assign) RequireArgs(args, 0, 0);
    if (name == "name") {
        if (assign) {
            fs::path renamed = path.parent_path() / fsops::ToPath(ArgString(LetValue(args)));
            std::error_code ec;
            if (fs::exists(fs::symlink_status(renamed, ec))) fsops::Throw(err::kFileAlreadyExists);
            fs::rename(path, renamed, ec);
            if (ec) fsops::ThrowFor(ec, folder ? err::kPathNotFound : err::kFileNotFound);
            path = renamed;
        } else {
            result = fsops::FromPath(path == path.root_path() ? path : path.filename());
        }
        return true;
    }
    if (name == "attributes") {
        if (assign)
            fsops::SetAttributes(path, ArgLong(LetValue(args)));
        else
            result = fsops::Attributes(path);
        return true;
    }
    if (assign) return false;
    if (name.empty() || name == "path" || name == "shortpath") {
        result = fsops::FromPath(path);
        return true;
    }
    if (name == "shortname") {
        result = fsops::FromPath(path.filename());
        return true;
    }
    if (name == "datelastmodified" || name == "datecreated") {
        // The creation time is not kept by every file system: the last change stands for it.
        std::error_code ec;
        auto time = fs::last_write_time(path, ec);
        if (ec) fsops::ThrowFor(ec, folder ? err::kPathNotFound : err::kFileNotFound);
        result = Variant(fsops::ToDate(time));
        return true;
    }
    if (name == "datelastaccessed") {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) fsops::Throw(folder ? err::kPathNotFound : err::kFileNotFound);
        result = Variant(fsops::ToDate(info.st_atime));
        return true;
    }
    if (name == "parentfolder") {
        result = ParentOf(path);
        return true;
    }
    if (name == "drive") {
        result = fsops::FromPath(path.root_name());
        return true;
    }
    return false;
}

} // namespace

FileObject::FileObject(fs::path path) : m_path(fsops::Absolute(path)) {}

Variant FileObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    if (!fsops::IsFile(m_path)) fsops::Throw(err::kFileNotFound);
    Variant result;
    if (CommonMember(m_path, false, name, kind, args, result)) return result;
    RequireGet(name, kind);
    if (name == "size" || name == "type") RequireArgs(args, 0, 0);
    if (name == "size") {
        std::error_code ec;
        uintmax_t size = fs::file_size(m_path, ec);
        if (ec) fsops::ThrowFor(ec, err::kFileNotFound);
        return SizeValue(size);
    }
    if (name == "type") {
        std::string extension = m_path.extension().string();
        if (extension.size() <= 1) return VbString(u"File");
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return ToVb(extension.substr(1) + " File");
    }
    if (name == "delete") {
        RequireArgs(args, 0, 1);
        fsops::DeleteFiles(fsops::FromPath(m_path), OptBool(args, 0, false));
        return {};
    }
    if (name == "copy") {
        RequireArgs(args, 1, 2);
        fsops::CopyFiles(fsops::FromPath(m_path), ArgString(args[0]), OptBool(args, 1, true));
        return {};
    }
    if (name == "move") {
        RequireArgs(args, 1, 1);
        VbString destination = ArgString(args[0]);
        fsops::MoveFiles(fsops::FromPath(m_path), destination);
        fs::path target = fsops::ToPath(destination);
        m_path = fsops::Absolute(fsops::EndsWithSeparator(destination) ? target / m_path.filename() : target);
        return {};
    }
    if (name == "openastextstream") {
        RequireArgs(args, 0, 2);
        int32_t mode = OptLong(args, 0, 1);
        if (mode != 1 && mode != 2 && mode != 8) fsops::Throw(err::kInvalidProcedureCall);
        return ObjectPtr(TextStreamObject::Open(m_path, static_cast<TextStreamObject::Mode>(mode),
                                                OptLong(args, 1, TextStreamObject::kAscii)));
    }
    ThrowNoMember(name);
}

FolderObject::FolderObject(fs::path path) : m_path(fsops::Absolute(path)) {}

Variant FolderObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    if (!fsops::IsFolder(m_path)) fsops::Throw(err::kPathNotFound);
    Variant result;
    if (CommonMember(m_path, true, name, kind, args, result)) return result;
    RequireGet(name, kind);
    if (name == "files" || name == "subfolders") {
        RequireArgs(args, 0, 0);
        return ObjectPtr(std::make_shared<FolderItemsObject>(m_path, name == "subfolders"));
    }
    if (name == "size" || name == "isrootfolder" || name == "type") RequireArgs(args, 0, 0);
    if (name == "size") return SizeValue(fsops::FolderSize(m_path));
    if (name == "isrootfolder") return m_path == m_path.root_path();
    if (name == "type") return VbString(u"File folder");
    if (name == "delete") {
        RequireArgs(args, 0, 1);
        fsops::DeleteFolders(fsops::FromPath(m_path), OptBool(args, 0, false));
        return {};
    }
    if (name == "copy") {
        RequireArgs(args, 1, 2);
        fsops::CopyFolders(fsops::FromPath(m_path), ArgString(args[0]), OptBool(args, 1, true));
        return {};
    }
    if (name == "move") {
        RequireArgs(args, 1, 1);
        VbString destination = ArgString(args[0]);
        fsops::MoveFolders(fsops::FromPath(m_path), destination);
        fs::path target = fsops::ToPath(destination);
        m_path = fsops::Absolute(fsops::EndsWithSeparator(destination) ? target / m_path.filename() : target);
        return {};
    }
    if (name == "createtextfile") {
        RequireArgs(args, 1, 3);
        fs::path file = m_path / fsops::ToPath(ArgString(args[0]));
        std::error_code ec;
        if (fs::exists(file, ec) && !OptBool(args, 1, true)) fsops::Throw(err::kFileAlreadyExists);
        return ObjectPtr(TextStreamObject::Open(file, TextStreamObject::Mode::Writing,
                                                OptBool(args, 2, false) ? TextStreamObject::kUnicode
                                                                        : TextStreamObject::kAscii));
    }
    ThrowNoMember(name);
}

std::vector<fs::path> FolderItemsObject::List() const
{
    std::vector<fs::path> items;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_folder, ec)) {
        std::error_code kindError;
        if (m_folders ? entry.is_directory(kindError) : entry.is_regular_file(kindError)) items.push_back(entry.path());
    }
    if (ec) fsops::ThrowFor(ec, err::kPathNotFound);
    std::sort(items.begin(), items.end());
    return items;
}

Variant FolderItemsObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    if (name == "count") {
        RequireArgs(args, 0, 0);
        return static_cast<int32_t>(List().size());
    }
    if (name.empty() || name == "item") {
        RequireArgs(args, 1, 1);
        fs::path item = m_folder / fsops::ToPath(ArgString(args[0])).filename();
        if (m_folders) {
            if (!fsops::IsFolder(item)) fsops::Throw(err::kPathNotFound);
            return ObjectPtr(std::make_shared<FolderObject>(item));
        }
        if (!fsops::IsFile(item)) fsops::Throw(err::kFileNotFound);
        return ObjectPtr(std::make_shared<FileObject>(item));
    }
    ThrowNoMember(name);
}

std::vector<Variant> FolderItemsObject::Enumerate()
{
    std::vector<Variant> items;
    for (const auto& path : List()) {
        if (m_folders)
            items.emplace_back(ObjectPtr(std::make_shared<FolderObject>(path)));
        else
            items.emplace_back(ObjectPtr(std::make_shared<FileObject>(path)));
    }
    return items;
}

} // namespace brindle::vbs
