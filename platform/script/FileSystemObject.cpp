#include "platform/script/FileSystemObject.h"

#include "platform/script/FileSystemItems.h"
#include "platform/script/FileSystemOps.h"
#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"
#include "platform/script/TextStream.h"

#include <cstdio>
#include <random>

namespace brindle::vbs {

namespace fs = std::filesystem;

namespace pathname {

namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// The text without trailing separators (a lone root separator stays).
VbStringView Trimmed(VbStringView path)
{
    while (path.size() > 1 && IsSeparator(path.back())) path.remove_suffix(1);
    return path;
}

size_t LastSeparator(VbStringView path)
{
    size_t at = path.find_last_of(u"/\\");
    return at;
}

} // namespace

VbString BuildPath(VbStringView path, VbStringView name)
{
    if (path.empty()) return VbString(name);
    while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
    if (IsSeparator(path.back()) || (path.size() == 2 && path[1] == u':')) return VbString(path) + VbString(name);
    // Keep to the separator the path already uses.
    char16_t separator = path.find(u'\\') != VbStringView::npos && path.find(u'/') == VbStringView::npos ? u'\\' : u'/';
    return VbString(path) + separator + VbString(name);
}

VbString FileName(VbStringView path)
{
    path = Trimmed(path);
    if (path.size() == 1 && IsSeparator(path[0])) return {};
    size_t at = LastSeparator(path);
    return VbString(at == VbStringView::npos ? path : path.substr(at + 1));
}

VbString BaseName(VbStringView path)
{
    VbString name = FileName(path);
    size_t dot = name.rfind(u'.');
    return dot == VbString::npos ? name : name.substr(0, dot);
}

VbString ExtensionName(VbStringView path)
{
    VbString name = FileName(path);
    size_t dot = name.rfind(u'.');
    return dot == VbString::npos ? VbString() : name.substr(dot + 1);
}

VbString ParentFolderName(VbStringView path)
{
    path = Trimmed(path);
    size_t at = LastSeparator(path);
    if (at == VbStringView::npos || path.size() == 1) return {};
    VbStringView parent = path.substr(0, at);
    if (parent.empty()) return VbString(path.substr(0, 1)); // the root
    return VbString(Trimmed(parent));
}

VbString DriveName(VbStringView path)
{
    if (path.size() >= 2 && path[1] == u':' && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z'))
        return VbString(path.substr(0, 2));
    return {};
}

} // namespace pathname

namespace {

TextStreamObject::Mode ModeOf(int32_t iomode)
{
    if (iomode != 1 && iomode != 2 && iomode != 8) fsops::Throw(err::kInvalidProcedureCall);
    return static_cast<TextStreamObject::Mode>(iomode);
}

VbString TempName()
{
    thread_local std::mt19937 random{std::random_device{}()};
    char name[16];
    std::snprintf(name, sizeof name, "rad%05X.tmp", static_cast<unsigned>(random() & 0xFFFFF));
    return ToVb(name);
}

} // namespace

Variant FileSystemObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    auto text = [&](size_t i) { return ArgString(args[i]); };
    auto path = [&](size_t i) { return fsops::ToPath(ArgString(args[i])); };

    // --- names
    if (name == "buildpath") {
        RequireArgs(args, 2, 2);
        return pathname::BuildPath(text(0), text(1));
    }
    if (name == "getfilename" || name == "getbasename" || name == "getextensionname" ||
        name == "getparentfoldername" || name == "getdrivename") {
        RequireArgs(args, 1, 1);
        VbString value = text(0);
        if (name == "getfilename") return pathname::FileName(value);
        if (name == "getbasename") return pathname::BaseName(value);
        if (name == "getextensionname") return pathname::ExtensionName(value);
        if (name == "getdrivename") return pathname::DriveName(value);
        return pathname::ParentFolderName(value);
    }
    if (name == "getabsolutepathname") {
        RequireArgs(args, 1, 1);
        return fsops::FromPath(fsops::Absolute(path(0)));
    }
    if (name == "gettempname") {
        RequireArgs(args, 0, 0);
        return TempName();
    }

    // --- existence and items
    if (name == "fileexists") {
        RequireArgs(args, 1, 1);
        return fsops::IsFile(path(0));
    }
    if (name == "folderexists") {
        RequireArgs(args, 1, 1);
        return fsops::IsFolder(path(0));
    }
    if (name == "driveexists") {
        RequireArgs(args, 1, 1);
        VbString drive = text(0);
        return drive == u"/" || drive == u"\\";
    }
    if (name == "getfile") {
        RequireArgs(args, 1, 1);
        if (!fsops::IsFile(path(0))) fsops::Throw(err::kFileNotFound);
        return ObjectPtr(std::make_shared<FileObject>(path(0)));
    }
    if (name == "getfolder") {
        RequireArgs(args, 1, 1);
        if (!fsops::IsFolder(path(0))) fsops::Throw(err::kPathNotFound);
        return ObjectPtr(std::make_shared<FolderObject>(path(0)));
    }
    if (name == "getspecialfolder") {
        RequireArgs(args, 1, 1);
        int32_t which = ArgLong(args[0]);
        if (which != 2)
            throw ScriptError(err::kInvalidProcedureCall,
                              "Invalid procedure call or argument: only the temporary folder (2) exists here");
        std::error_code ec;
        fs::path temp = fs::temp_directory_path(ec);
        if (ec) fsops::Throw(err::kPathNotFound);
        return ObjectPtr(std::make_shared<FolderObject>(temp));
    }

    // --- changes
    if (name == "createfolder") {
        RequireArgs(args, 1, 1);
        fs::path folder = fsops::Absolute(path(0));
        std::error_code ec;
        if (fs::exists(fs::symlink_status(folder, ec))) fsops::Throw(err::kFileAlreadyExists);
        if (!fsops::IsFolder(folder.parent_path())) fsops::Throw(err::kPathNotFound);
        fs::create_directory(folder, ec);
        if (ec) fsops::ThrowFor(ec, err::kPathNotFound);
        return ObjectPtr(std::make_shared<FolderObject>(folder));
    }
    if (name == "createtextfile") {
        RequireArgs(args, 1, 3);
        fs::path file = path(0);
        std::error_code ec;
        if (fs::exists(file, ec) && !OptBool(args, 1, true)) fsops::Throw(err::kFileAlreadyExists);
        return ObjectPtr(TextStreamObject::Open(file, TextStreamObject::Mode::Writing,
                                                OptBool(args, 2, false) ? TextStreamObject::kUnicode
                                                                        : TextStreamObject::kAscii));
    }
    if (name == "opentextfile") {
        RequireArgs(args, 1, 4);
        fs::path file = path(0);
        TextStreamObject::Mode mode = ModeOf(OptLong(args, 1, 1));
        std::error_code ec;
        if (!fs::exists(file, ec)) {
            if (!OptBool(args, 2, false)) {
                if (!fsops::IsFolder(fsops::Absolute(file).parent_path())) fsops::Throw(err::kPathNotFound);
                fsops::Throw(err::kFileNotFound);
            }
            // Created empty, then opened as asked.
            TextStreamObject::Open(file, TextStreamObject::Mode::Writing, TextStreamObject::kAscii)->Close();
        }
        return ObjectPtr(TextStreamObject::Open(file, mode, OptLong(args, 3, TextStreamObject::kAscii)));
    }
    if (name == "copyfile" || name == "copyfolder") {
        RequireArgs(args, 2, 3);
        if (name == "copyfile")
            fsops::CopyFiles(text(0), text(1), OptBool(args, 2, true));
        else
            fsops::CopyFolders(text(0), text(1), OptBool(args, 2, true));
        return {};
    }
    if (name == "movefile" || name == "movefolder") {
        RequireArgs(args, 2, 2);
        if (name == "movefile")
            fsops::MoveFiles(text(0), text(1));
        else
            fsops::MoveFolders(text(0), text(1));
        return {};
    }
    if (name == "deletefile" || name == "deletefolder") {
        RequireArgs(args, 1, 2);
        if (name == "deletefile")
            fsops::DeleteFiles(text(0), OptBool(args, 1, false));
        else
            fsops::DeleteFolders(text(0), OptBool(args, 1, false));
        return {};
    }
    ThrowNoMember(name);
}

} // namespace brindle::vbs
